// The recorded voice: how a text is cut into numbers, words and characters,
// checked through the recordings the front end asks for.
#include <string>
#include <vector>

#include "speech/speech.h"
#include "base/codepage.h"
#include "sound/wave_player.h"
#include "speech_fixture.h"

namespace varlo::test {
namespace {

using Names = std::vector<std::string>;

class RecordedVoice : public SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    for (int c : {40, 42, 44, 46, 45, 49, 50, 51, 52, 53, 54, 55, 87, 119, 12}) {
      addRecording("_" + std::to_string(c));
    }
    for (const char* word : {"_zero", "_sete", "_cinco", "_MENOS", "_unknown"}) {
      addRecording(word);
    }
  }

  Names said(std::string_view text) {
    heard().clear();
    speak(text);
    return heardNames();
  }
};

TEST_F(RecordedVoice, LeadingZerosAreSaidOneByOneThenTheNumber) {
  EXPECT_EQ(said("007"), (Names{"_zero", "_zero", "_sete", "<joined 300>"}));
}

TEST_F(RecordedVoice, SixDigitsAreReadAsANumberAndLongerOrDashedRunsSpelled) {
  // No word recordings here: each is asked for, none is joined.
  EXPECT_EQ(said("123456"),
            (Names{"_cento", "_e", "_vinte", "_e", "_tres", "_mil", "_quatroc", "_e",
                   "_cinquen", "_e", "_seis"}));
  EXPECT_EQ(said("1234567"), (Names{"_49", "_50", "_51", "_52", "_53", "_54", "_55"}));
  EXPECT_EQ(said("12-34"), (Names{"_49", "_50", "_45", "_51", "_52"}));
}

TEST_F(RecordedVoice, FifthRepeatOfACharacterIsAClick) {
  EXPECT_EQ(said("*****"), (Names{"_42", "_42", "_42", "_42", "<click>"}));
}

TEST_F(RecordedVoice, CommaAndFullStopPauseWhenASpaceFollows) {
  std::string hello = utf8ToCp1252("Olá");
  EXPECT_EQ(said(utf8ToCp1252("Olá, mundo.")),
            (Names{"<words " + hello + ">", "_44", "<pause 150>", "<words  mundo>", "_46",
                   "<pause 250>"}));
  // A full stop followed by a letter is said but gives no pause.
  EXPECT_EQ(said("a.b"), (Names{"<words a>", "_46", "<words b >"}));
}

TEST_F(RecordedVoice, PunctuationIsOnlyPausedWhenNotSpoken) {
  speechOptions().speakPunctuation = false;
  EXPECT_EQ(said("sim, nao"), (Names{"<words sim>", "<pause 150>", "<words  nao >"}));
  // Without a following space the mark is said after all.
  EXPECT_EQ(said("a,b"), (Names{"<words a>", "_44", "<words b >"}));
  speechOptions().speakPunctuation = true;
}

TEST_F(RecordedVoice, PausesAndPlaybackSwitchesFollowTheSpeedLevel) {
  configure("SAPI=NAO\n[SINTETIZADOR]\nPAUSAPONTO2=400\nPAUSAVIRG2=abc\nCORTAFALA2=Sim\n"
            "RAPIDINHO2=nao\nPAUSADOISPONTOS3=90\n");
  reconfigureSpeech(2, false, 0, 0, 0, 0);
  EXPECT_EQ(speechSpeedLevel(), 2);
  EXPECT_TRUE(waveSettings().cutPlayback);
  EXPECT_FALSE(waveSettings().fastPlayback);
  EXPECT_EQ(said("a. b, c"), (Names{"<words a>", "_46", "<pause 400>", "<words  b>", "_44",
                                    "<pause 150>", "<words  c >"}));
  reconfigureSpeech(9, false, 0, 0, 0, 0);   // not a level: the middle one
  EXPECT_EQ(speechSpeedLevel(), 3);
  EXPECT_FALSE(waveSettings().cutPlayback);
  EXPECT_EQ(said("(x"), (Names{"_40", "<pause 90>", "<words x >"}));
}

TEST_F(RecordedVoice, WwwIsSpelledAndTheAddressGoesOn) {
  EXPECT_EQ(said("www.abc"), (Names{"_119", "_119", "_119", "_46", "<words abc >"}));
  EXPECT_EQ(said("veja WwW"), (Names{"<words veja >", "_87", "_119", "_87"}));
}

TEST_F(RecordedVoice, DashesReadAsMinusJoinerOrPause) {
  EXPECT_EQ(said("-5"), (Names{"_MENOS", "_cinco", "<joined 300>"}));
  // A dash between letters joins the words; a dash before a space pauses.
  EXPECT_EQ(said("guarda-chuva"), (Names{"<words guarda>", "<words chuva >"}));
  EXPECT_EQ(said("a - b"), (Names{"<words a >", "_45", "<pause 150>", "<words  b >"}));
}

TEST_F(RecordedVoice, MissingSoundsFallBackAndSpeechGoesOn) {
  // '@' has no letter sound: the unknown sound is played and the text goes on.
  Names names = said("@7");
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0], "_unknown");
  EXPECT_EQ(names[1], "_sete");
  // "oito" has no recording: asked for, skipped, and nothing is joined.
  EXPECT_EQ(said("8*"), (Names{"_oito", "_42"}));
}

TEST_F(RecordedVoice, ControlCharactersAreSilentButFormFeedIsSaid) {
  heard().clear();
  sayChar('\n');
  sayChar('\r');
  sayChar(12);
  EXPECT_EQ(heardNames(), (Names{"_12"}));
}

TEST_F(RecordedVoice, TabPlaysItsPhoneticRecording) {
  heard().clear();
  spell("\t1");
  EXPECT_EQ(heardNames(), (Names{"_FON9", "_49"}));
}

// The listener presses a key when the third sound is asked for.
void pressKeyOnThird(SoundEvent event, std::string_view detail) {
  listen(event, detail);
  if (heard().size() == 3) injectKeys("x");
}

TEST_F(RecordedVoice, KeyPressStopsTheTextAtTheNextCharacter) {
  heard().clear();
  setSoundListener(pressKeyOnThird);
  speak("********");
  EXPECT_EQ(heardNames(), (Names{"_42", "_42", "_42"}));
  EXPECT_TRUE(keyPending());
  // A key still waiting keeps everything silent.
  heard().clear();
  speak("*");
  EXPECT_TRUE(heard().empty());
  flushKeys();
}

TEST_F(RecordedVoice, KeysAreEchoedAndF8SaysTheTime) {
  addRecording("_113");
  addRecording("_122");
  injectKeys("\xDEq");           // 222 is skipped
  heard().clear();
  uint8_t extended = 99;
  EXPECT_EQ(readKeyEcho(extended), 'q');
  EXPECT_EQ(extended, 0);
  EXPECT_EQ(heardNames(), (Names{"_113"}));
  EXPECT_NE(screenDump().find('q'), std::string::npos);

  injectExtendedKey(key::F8);
  injectExtendedKey(key::Up);
  heard().clear();
  EXPECT_EQ(readKeyEcho(extended), 0);
  EXPECT_EQ(extended, key::Up);
  Names names = heardNames();
  bool hours = false;
  for (const std::string& n : names) hours = hours || n == "_hora" || n == "_horas";
  EXPECT_TRUE(hours);

  injectKeys("z");
  heard().clear();
  EXPECT_EQ(readKeySpeak(), 'z');
  EXPECT_EQ(heardNames(), (Names{"_122"}));
}

TEST_F(RecordedVoice, RecordingsOfKeysLiveInTheirDirectories) {
  writeRecording(sounds / "VLQUALOP.wav", 100);
  EXPECT_TRUE(recordingExists("VLQUALOP"));
  EXPECT_FALSE(recordingExists("VLNADA"));
  EXPECT_TRUE(recordingExists("_zero"));
  // Recordings made elsewhere may differ in letter case.
  writeRecording(sounds / "vlsair.WAV", 100);
  EXPECT_TRUE(recordingExists("VLSAIR"));
  heard().clear();
  playRecording("VLQUALOP");
  playRecording("VLNADA");   // not there: not heard, nothing breaks
  EXPECT_EQ(heardNames(), (Names{"VLQUALOP", "VLNADA"}));
}

TEST_F(RecordedVoice, BeepFlushesKeysAndDialTonesPlayTelephoneKeys) {
  injectKeys("abc");
  heard().clear();
  beep();
  EXPECT_FALSE(keyPending());
  dialTones("1*#z");
  EXPECT_EQ(heardNames(), (Names{"<beep>", "dtmf_1", "dtmf_X", "dtmf_#"}));
}

}  // namespace
}  // namespace varlo::test
