// Converting texts into WAV and MP3 files with the espeak-ng voice: the
// names, the markers and the order in which pieces and effects are joined,
// and bad input that must leave the sources alone and be told.
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdio>

#include "conversion_fixture.h"
#include "base/codepage.h"
#include "engines/engines.h"

namespace varlo::test {
namespace {

// espeak-ng renders the same requests a few hundredths of a second longer or
// shorter depending on what it rendered before.
constexpr int kJitter = 1500;

// Blocks of 441 frames (20 ms) mostly made of the full-scale square wave.
std::vector<bool> squareBlocks(const TAmostras& wave) {
  std::vector<bool> blocks;
  for (int start = 0; start + 441 <= wave.frameCount(); start += 441) {
    int loud = 0;
    for (int i = start; i < start + 441; ++i) loud += std::abs(frameLeft(wave.sampleAt(i))) > 25000;
    blocks.push_back(loud > 441 * 8 / 10);
  }
  return blocks;
}

using Conversion = ConversionFixture;

TEST_F(Conversion, PlainTextGivesOneWavNamedWithUnderscores) {
  writeBytes(project / "meu livro.txt", "Ol\xE1. Tudo bem com voc\xEA?\n\nAt\xE9 logo.\n");
  std::string screen = convert({"meu livro.txt"});
  EXPECT_GT(wavFrames(audio / "meu_livro.wav"), 10000);
  EXPECT_TRUE(noScratchFiles());
  EXPECT_NE(screen.find(utf8ToCp1252("Conversão bem sucedida")), std::string::npos) << screen;
  EXPECT_EQ(readBytes(project / "meu livro.txt"), "Ol\xE1. Tudo bem com voc\xEA?\n\nAt\xE9 logo.\n");
  EXPECT_EQ(windowTitle(), "VARLO");
}

TEST_F(Conversion, Mp3KeepsSpacesAndDecodesToTheLengthOfTheSpeech) {
  const std::string text = "Era uma vez um livro falado.\nFim.\n";
  int speech = framesOf(text);
  writeBytes(project / "meu livro.txt", text);
  convert({"meu livro.txt"}, true);
  EXPECT_FALSE(fs::exists(audio / "meu_livro.wav"));
  EXPECT_FALSE(fs::exists(audio / "meu_livro.mp3"));
  ASSERT_TRUE(fs::exists(audio / "meu livro.mp3"));
  int decoded = decodedFrames(audio / "meu livro.mp3", root / "decoded.wav");
  EXPECT_NEAR(decoded, speech, 2400);  // the encoder's padding, a tenth of a second
  EXPECT_TRUE(noScratchFiles());
}

// lame must not take a name beginning with "-" for one of its options.
TEST_F(Conversion, Mp3OfATextWhoseNameBeginsWithADash) {
  writeBytes(project / "-capitulo um.txt", "Primeiro.\n");
  std::string screen = convert({"-capitulo um.txt"}, true);
  EXPECT_TRUE(fs::exists(audio / "-capitulo um.mp3")) << screen;
  EXPECT_FALSE(fs::exists(audio / "-capitulo_um.wav"));
}

TEST_F(Conversion, EffectSitsBetweenTheSpeechAroundItAndItsFileIsNotTouched) {
  int before = framesOf("Primeira frase.\n");
  int after = framesOf("Segunda frase.\n");
  // An effect in another format: 44100 Hz stereo 8 bits, half a second.
  writeSquareWave(project / "porta.wav", 44100, 8, 2, 22050);
  std::string effect = readBytes(project / "porta.wav");
  writeBytes(project / "efeito.txt", "Primeira frase.\n#SOM#porta.wav\nSegunda frase.\n");
  convert({"efeito.txt"});
  TAmostras result;
  ASSERT_TRUE(result.load((audio / "efeito.wav").string()));
  EXPECT_EQ(result.rate(), 22050);
  EXPECT_NEAR(result.frameCount(), before + 11025 + after, 2 * kJitter);
  // Half a second of square wave (25 blocks) right after the first sentence.
  std::vector<bool> blocks = squareBlocks(result);
  auto first = std::find(blocks.begin(), blocks.end(), true);
  ASSERT_NE(first, blocks.end());
  int firstBlock = int(first - blocks.begin());
  EXPECT_NEAR(firstBlock * 441, before, 2 * kJitter);
  EXPECT_NEAR(std::count(blocks.begin(), blocks.end(), true), 25, 1);
  EXPECT_TRUE(std::all_of(first, first + 24, [](bool b) { return b; }));
  EXPECT_EQ(readBytes(project / "porta.wav"), effect);
  EXPECT_TRUE(noScratchFiles());
}

TEST_F(Conversion, EffectWithoutNameTakesTheConfiguredOneOrNothing) {
  int plain = framesOf("Um.\n\nDois.\n");
  writeBytes(project / "vazio.txt", "Um.\n#SOM#\nDois.\n");
  convert({"vazio.txt"});
  EXPECT_NEAR(wavFrames(audio / "vazio.wav"), plain, kJitter);  // nothing inserted, nothing said

  writeSquareWave(root / "padrao.wav", 22050, 16, 1, 5000);
  configure("SOMEFEITO=" + (root / "padrao.wav").string() + "\n");
  convert({"vazio.txt"});
  int one = framesOf("Um.\n"), two = framesOf("Dois.\n");
  EXPECT_NEAR(wavFrames(audio / "vazio.wav"), one + 5000 + two, 2 * kJitter);
}

TEST_F(Conversion, EffectsThatCannotBeJoinedAreLeftOutAndLeftAlone) {
  // 12345 Hz is no rate the join can reach; a float WAV is no PCM; a text
  // is no WAV at all.
  writeSquareWave(project / "estranho.wav", 22050, 16, 1, 1000);
  std::string odd = readBytes(project / "estranho.wav");
  odd.replace(24, 4, std::string("\x39\x30\x00\x00", 4));
  writeBytes(project / "estranho.wav", odd);
  std::string floatWav = readBytes(project / "estranho.wav");
  floatWav[20] = 3;
  writeBytes(project / "flutuante.wav", floatWav);
  writeBytes(project / "texto.wav", "isto nao e um som");
  writeBytes(project / "sons.txt",
             "Um.\n#SOM#estranho.wav\nDois.\n#SOM#flutuante.wav\nTres.\n#SOM#texto.wav\nFim.\n");
  convert({"sons.txt"});
  EXPECT_GT(wavFrames(audio / "sons.wav"), framesOf("Um.\nDois.\nTres.\nFim.\n") / 2);
  EXPECT_EQ(readBytes(project / "estranho.wav"), odd);
  EXPECT_EQ(readBytes(project / "flutuante.wav"), floatWav);
  EXPECT_TRUE(noScratchFiles());
}

TEST_F(Conversion, MissingEffectIsSpokenAsItsName) {
  int spoken = framesOf("Antes.\nporta.wav\nDepois.\n");
  writeBytes(project / "falta.txt", "Antes.\n#SOM#porta.wav\nDepois.\n");
  convert({"falta.txt"});
  EXPECT_NEAR(wavFrames(audio / "falta.wav"), spoken, kJitter);
  EXPECT_TRUE(noScratchFiles());
}

TEST_F(Conversion, VoiceMarkersSwitchOrAreSpokenWhenMalformed) {
  int rest = framesOf("Texto depois do marcador.\n");
  writeBytes(project / "voz.txt", "#SAPI#5,1,0,0\nTexto depois do marcador.\n");
  convert({"voz.txt"});
  EXPECT_NEAR(wavFrames(audio / "voz.wav"), rest, kJitter);  // the empty first piece adds nothing
  EXPECT_TRUE(noScratchFiles());

  int asText = framesOf("x,2,0,0\n");
  writeBytes(project / "errado.txt", "#SAPI#x,2,0,0\n");
  convert({"errado.txt"});
  EXPECT_NEAR(wavFrames(audio / "errado.wav"), asText, kJitter);

  // A faster voice after the marker makes the same words shorter.
  int slow = framesOf("Uma frase bastante comprida para medir a velocidade da voz.\n");
  writeBytes(project / "rapida.txt",
             "#SAPI#5,1,8,0\nUma frase bastante comprida para medir a velocidade da voz.\n");
  convert({"rapida.txt"});
  EXPECT_LT(wavFrames(audio / "rapida.wav"), slow * 3 / 4);

  // A voice that cannot record (type 4 has no engine here): the text is
  // recorded with the configured voice, and the user is told.
  writeBytes(project / "antiga.txt", "#SAPI#4,1,0,0\nTexto depois do marcador.\n");
  std::string screen = convert({"antiga.txt"});
  EXPECT_NEAR(wavFrames(audio / "antiga.wav"), rest, kJitter);
  EXPECT_NE(screen.find(utf8ToCp1252("não pôde ser usada")), std::string::npos) << screen;
  EXPECT_TRUE(noScratchFiles());
}

TEST_F(Conversion, SilencesAddTwoSecondsAtEachEndAndHalfASecondPerParagraph) {
  int plain = framesOf("Um.\n\nDois.\n");
  AppState& s = appState();
  s.withSilence = "SIM";
  int silent = framesOf("Um.\n\nDois.\n");
  // 2 s + 2 s at the ends and 500 ms for each of the two paragraph ends.
  EXPECT_NEAR(silent - plain, 22050 * 5, 22050 / 10);
}

TEST_F(Conversion, Utf8AndWindows1252TextsSoundTheSame) {
  int latin = framesOf("A\xE7\xE3o e cora\xE7\xE3o.\n");
  int utf8 = framesOf("A\xC3\xA7\xC3\xA3o e cora\xC3\xA7\xC3\xA3o.\n");
  EXPECT_NEAR(latin, utf8, kJitter);
  // Read as Windows-1252, the UTF-8 bytes would be spoken as extra letters.
  EXPECT_LT(utf8, framesOf("A\xC3\xA7\xC3\xA3o e cora\xC3\xA7\xC3\xA3o \xFF.\n") - kJitter);
}

TEST_F(Conversion, LongLinesEmptyAndBinaryTextsAreHandledAndSourcesKept) {
  std::string longLine;
  while (longLine.size() < 100000) longLine += "palavra ";
  writeBytes(project / "longo.txt", longLine);
  writeBytes(project / "vazio.txt", "");
  std::string binary("\x7F" "ELF\0\0\x01\x02", 8);
  writeBytes(project / "programa.txt", binary);
  std::string screen = convert({"programa.txt", "vazio.txt", "longo.txt"});
  EXPECT_FALSE(fs::exists(audio / "programa.wav"));
  EXPECT_NE(screen.find(utf8ToCp1252("não é um texto")), std::string::npos) << screen;
  EXPECT_EQ(wavFrames(audio / "vazio.wav"), 0);
  EXPECT_GT(wavFrames(audio / "longo.wav"), 22050 * 60);
  EXPECT_EQ(readBytes(project / "programa.txt"), binary);
  EXPECT_EQ(readBytes(project / "longo.txt"), longLine);
  EXPECT_TRUE(noScratchFiles());
}

TEST_F(Conversion, MissingEncoderKeepsTheWavAndSaysSo) {
  configure("PROG_LAME=" + (root / "nao-existe" / "lame").string() + "\n");
  writeBytes(project / "a.txt", "Primeiro.\n");
  writeBytes(project / "b.txt", "Segundo.\n");
  std::string screen = convert({"a.txt", "b.txt"}, true);
  EXPECT_NE(screen.find(utf8ToCp1252("Programa LAME não está instalado.")), std::string::npos);
  EXPECT_NE(screen.find(utf8ToCp1252("A conversão de WAV para MP3 foi cancelada.")),
            std::string::npos);
  EXPECT_GT(wavFrames(audio / "a.wav"), 0);
  EXPECT_GT(wavFrames(audio / "b.wav"), 0);  // the rest of the run stays WAV
  EXPECT_FALSE(appState().mp3Output);
  // a.txt did not become the MP3 asked for: the run is not called a success.
  EXPECT_EQ(screen.find(utf8ToCp1252("Conversão bem sucedida")), std::string::npos) << screen;
  EXPECT_NE(screen.find(utf8ToCp1252("1 de 2 arquivos não foi convertido")), std::string::npos);
}

TEST_F(Conversion, FailingEncoderKeepsTheWav) {
  fs::path fake = root / "lame";
  writeBytes(fake, "#!/bin/sh\nexit 1\n");
  fs::permissions(fake, fs::perms::owner_all);
  configure("PROG_LAME=" + fake.string() + "\n");
  writeBytes(project / "a.txt", "Primeiro.\n");
  std::string screen = convert({"a.txt"}, true);
  EXPECT_GT(wavFrames(audio / "a.wav"), 0);
  EXPECT_FALSE(fs::exists(audio / "a.mp3"));
  EXPECT_NE(screen.find(utf8ToCp1252("o arquivo WAV foi mantido")), std::string::npos) << screen;
  EXPECT_EQ(screen.find(utf8ToCp1252("Conversão bem sucedida")), std::string::npos) << screen;
}

TEST_F(Conversion, AudioDirectoryThatCannotBeMadeEndsTheRunNotTheProgram) {
  // A file where the audio directory should be: even root cannot make it
  // (a read-only project directory behaves the same for other users).
  writeBytes(project / "WAVMP3", "ocupado");
  writeBytes(project / "a.txt", "Texto.\n");
  std::string screen = convert({"a.txt"});
  EXPECT_NE(screen.find(utf8ToCp1252("Não consegui criar o diretório")), std::string::npos);
  EXPECT_EQ(readBytes(project / "WAVMP3"), "ocupado");
  EXPECT_EQ(readBytes(project / "a.txt"), "Texto.\n");
  char here[4096];
  EXPECT_EQ(std::string(getcwd(here, sizeof here)), project.string());
}

// A folder that takes no files (here one no user may write, not even root):
// the reason is the folder, not the voice.
TEST_F(Conversion, AudioFolderThatCannotBeWrittenIsNamedAsTheReason) {
  writeBytes(project / "a.txt", "Texto.\n");
  appState().audioSubdirectory = "/proc";
  std::string screen = convert({"a.txt"});
  EXPECT_NE(screen.find(utf8ToCp1252("Não consigo gravar na pasta de áudio")), std::string::npos) << screen;
  EXPECT_EQ(screen.find(utf8ToCp1252("A voz configurada")), std::string::npos) << screen;
  EXPECT_EQ(screen.find(utf8ToCp1252("Conversão bem sucedida")), std::string::npos) << screen;
  char here[4096];
  EXPECT_EQ(std::string(getcwd(here, sizeof here)), project.string());
}

TEST_F(Conversion, AudioDirectoryGivenAsAFullPathIsUsedAsItIs) {
  writeBytes(project / "a.txt", "Texto.\n");
  appState().audioSubdirectory = (root / "audio livros").string();
  convert({"a.txt"});
  EXPECT_GT(wavFrames(root / "audio livros" / "a.wav"), 0);
  EXPECT_FALSE(fs::exists(project / "tmp"));
  char here[4096];
  EXPECT_EQ(std::string(getcwd(here, sizeof here)), project.string());
}

// A run that starts with a voice engine open still converts with the voice
// saved in the settings, not the suite's default voice.
TEST_F(Conversion, SavedVoiceIsUsedWhenNoneWasChosenInThisRun) {
  AppState& s = appState();
  writeBytes(project / "a.txt", "Uma frase um pouco longa para medir a velocidade da voz.\n");
  configure("TIPOSAPI=5\nNUMEROSAPI=1\nVELOCIDADESAPI=0\n");
  s.voiceChosen = false;
  convert({"a.txt"});
  int normal = wavFrames(audio / "a.wav");
  configure("TIPOSAPI=5\nNUMEROSAPI=1\nVELOCIDADESAPI=10\n");
  s.voiceChosen = false;
  convert({"a.txt"});
  int fast = wavFrames(audio / "a.wav");
  EXPECT_GT(normal, 0);
  EXPECT_LT(fast, normal * 4 / 5) << "normal " << normal << ", fast " << fast;
  EXPECT_TRUE(s.voiceChosen);
}

// A disk that fills up while a text is rendered (here a file size limit):
// the cut WAV is not left behind as if it were the whole text, and the run
// ends without claiming success.
TEST_F(Conversion, RecordingCutByAFullDiskIsRemovedAndEndsTheRun) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "Uma frase que ocupa bastante lugar no arquivo de audio.\n";
  writeBytes(project / "longo.txt", text);
  writeBytes(project / "b.txt", "Outro.\n");
  for (int type : {kEngineEspeak, kEngineOlira}) {
    appState().sapiType = type;
    fs::remove_all(audio);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 100000;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string screen = convert({"longo.txt", "b.txt"});
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_NE(screen.find(utf8ToCp1252("disco cheio")), std::string::npos) << type << screen;
    EXPECT_EQ(screen.find(utf8ToCp1252("Conversão bem sucedida")), std::string::npos) << type;
    EXPECT_FALSE(fs::exists(audio / "longo.wav")) << type;
    EXPECT_FALSE(fs::exists(audio / "b.wav")) << type;
    EXPECT_TRUE(noScratchFiles());
  }
}

TEST_F(Conversion, UnreadableTextEndsTheRunAndKeepsEarlierResults) {
  writeBytes(project / "a.txt", "Texto.\n");
  std::string screen = convert({"a.txt", "sumiu.txt", "a.txt"});
  EXPECT_GT(wavFrames(audio / "a.wav"), 0);
  EXPECT_NE(screen.find(utf8ToCp1252("Problemas na abertura do arquivo de texto")),
            std::string::npos);
  EXPECT_EQ(screen.find(utf8ToCp1252("Conversão bem sucedida")), std::string::npos);
}

// The answer to the W/3 question, given once it is asked (the listing of
// the selection before it discards waiting keys).
uint8_t formatAnswer = 0;
void answerFormatQuestion() {
  if (formatAnswer && !keyPending() && screenDump().find("Digite W") != std::string::npos) {
    pushKey(formatAnswer);
    formatAnswer = 0;
  }
}

TEST_F(Conversion, OptionCAsksTheFormatAndWritesIntoTheAudioSubdirectory) {
  AppState& s = appState();
  s.commandLineMode = false;
  writeBytes(project / "a.txt", "Texto curto.\n");
  setPumpHook(PumpHook::media, answerFormatQuestion);
  formatAnswer = '3';
  std::string screen = convert({"a.txt"});
  EXPECT_NE(screen.find("OK, irei converter no formato MP3"), std::string::npos) << screen;
  EXPECT_TRUE(fs::exists(audio / "a.mp3"));
  EXPECT_FALSE(fs::exists(audio / "a.wav"));

  formatAnswer = key::Esc;
  screen = convert({"a.txt"});
  EXPECT_NE(screen.find("Desistiu"), std::string::npos) << screen;
  setPumpHook(PumpHook::media, nullptr);
  EXPECT_EQ(s.audioSubdirectory, "WAVMP3");
}

}  // namespace
}  // namespace varlo::test
