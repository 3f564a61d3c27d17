// Books in voice type 4 are read by the outside voice command of the
// settings: a script of the test that writes down what it is given and has
// espeak-ng read it, unless the text asks it to fail in one of the ways a
// real command fails.
#include <sys/stat.h>

#include "conversion_fixture.h"
#include "base/codepage.h"
#include "engines/engines.h"

namespace varlo::test {
namespace {

// Whether the screen says `utf8`, wherever its lines were broken.
bool says(const std::string& screen, const std::string& utf8) {
  auto squeeze = [](std::string text) {
    std::erase_if(text, [](char c) { return c == ' ' || c == '\n'; });
    return text;
  };
  return squeeze(screen).find(squeeze(utf8ToCp1252(utf8))) != std::string::npos;
}

class OutsideVoice : public ConversionFixture {
 protected:
  fs::path script, heardLog;

  void SetUp() override {
    ConversionFixture::SetUp();
    script = root / "voz externa.sh";
    heardLog = root / "ouvido.txt";
    std::ofstream(script) << "#!/bin/sh\n"
                             "text=$(cat)\n"
                             "printf '%s\\n' \"$text\" >> '" << heardLog.string() << "'\n"
                             "case \"$text\" in\n"
                             "  *QUEBRA*) exit 1 ;;\n"
                             "  *TRAVA*) sleep 30 ;;\n"
                             "  *MUDO*) echo nada; exit 0 ;;\n"
                             "esac\n"
                             "printf '%s' \"$text\" | exec espeak-ng -v pt-br --stdout\n";
    chmod(script.c_str(), 0755);
    useCommand("\"" + script.string() + "\" -v pt-br");
    appState().sapiType = kEngineOldInterface;
  }

  void useCommand(const std::string& command) {
    std::ofstream ini(root / "config" / "murena" / "Murena.ini");
    ini << "[TRADUTOR]\nVELOCIDADE=3\nSAPI=NAO\nVOZEXTERNA=" << command
        << "\nVOZEXTERNALIMITE=1\n[SERVFALA]\nTIPOSAPI=5\nVOZ=1\n[MURENA]\nLEGADO=NAO\n";
    ini.close();
    reloadSettings();
  }
};

TEST_F(OutsideVoice, TextWithVoiceAndEffectMarkersConvertsThroughTheCommand) {
  writeSquareWave(project / "efeito.wav", 11025, 16, 1, 11025);   // a second
  writeBytes(project / "livro.txt",
             "Primeira frase da p\xE1gina.\n#SOM#efeito.wav\nSegunda frase.\n"
             "#SAPI#4,1,0,0\nTerceira frase.\n");
  std::string screen = convert({"livro.txt"});
  int frames = wavFrames(audio / "livro.wav");
  // Three sentences and the effect's second.
  EXPECT_GT(frames, 22050 * 3) << screen;
  EXPECT_FALSE(says(screen, "voz externa")) << screen;
  EXPECT_FALSE(fs::exists(audio / "temp.wav"));
  // Each request went to the command in UTF-8.
  std::string heard = readBytes(heardLog);
  EXPECT_NE(heard.find("Primeira frase da p\xC3\xA1gina."), std::string::npos) << heard;
  EXPECT_NE(heard.find("Terceira frase."), std::string::npos) << heard;
}

// However the command fails on a text, the user is told, no audio of that
// text is left to pass for it, the next text converts, and the text itself
// converts once the command works.
TEST_F(OutsideVoice, FailingCommandLeavesNoAudioAndTheNextTextConverts) {
  struct Case {
    const char* word;
    const char* said;
  };
  for (Case c : {Case{"QUEBRA", "terminou com erro"}, Case{"TRAVA", "não terminou a tempo"},
                 Case{"MUDO", "não devolveu som em formato WAV"}}) {
    SCOPED_TRACE(c.word);
    writeBytes(project / "a.txt", std::string("Uma frase antes.\nEsta ") + c.word + " aqui.\n");
    writeBytes(project / "b.txt", "Outro texto inteiro.\n");
    std::string screen = convert({"a.txt", "b.txt"});
    EXPECT_TRUE(says(screen, c.said)) << screen;
    EXPECT_TRUE(says(screen, "nova tentativa")) << screen;
    EXPECT_TRUE(says(screen, "1 de 2 arquivos")) << screen;
    EXPECT_FALSE(fs::exists(audio / "a.wav"));
    EXPECT_FALSE(fs::exists(audio / "temp.wav"));
    EXPECT_GT(wavFrames(audio / "b.wav"), 11025);
    fs::remove(audio / "b.wav");
  }
  writeBytes(project / "a.txt", "Agora sem problema.\n");
  convert({"a.txt"});
  EXPECT_GT(wavFrames(audio / "a.wav"), 11025);
}

TEST_F(OutsideVoice, MissingOrUnstartableCommandIsToldBeforeRendering) {
  writeBytes(project / "a.txt", "Uma frase.\n");
  useCommand("");
  std::string screen = convert({"a.txt"});
  EXPECT_TRUE(says(screen, "indique em VOZEXTERNA")) << screen;
  EXPECT_FALSE(fs::exists(audio / "a.wav"));
  EXPECT_FALSE(fs::exists(heardLog));

  useCommand((root / "nao-existe").string());
  screen = convert({"a.txt"});
  EXPECT_TRUE(says(screen, "Não consegui iniciar a voz externa")) << screen;
  EXPECT_FALSE(fs::exists(audio / "a.wav"));
}

}  // namespace
}  // namespace varlo::test
