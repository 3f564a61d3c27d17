// The console's notice (a terminal too small for the grid) is heard, once
// each time it appears, before the program goes on speaking and reading keys.
#include "console/console_front_end.h"
#include "console/headless_front_end.h"
#include "speech_fixture.h"

namespace varlo::test {
namespace {

bool tooSmall = false;

const char* notice() { return tooSmall ? "Aumente o terminal" : nullptr; }

// The headless front end, with a display that may be too small.
const FrontEnd* openSmallDisplay() {
  static FrontEnd frontEnd = *openHeadlessFrontEnd();
  frontEnd.displayNotice = notice;
  return &frontEnd;
}

class DisplayNotice : public SpeechFixture {
 protected:
  void SetUp() override {
    setFrontEndOpener(openSmallDisplay);
    SpeechFixture::SetUp();
  }

  // What is heard when the program says its prompt.
  std::vector<std::string> heardSayingThePrompt() {
    heard().clear();
    writeLineSpeak("Qual");
    return heardNames();
  }
};

using Names = std::vector<std::string>;

TEST_F(DisplayNotice, SaidOnceEachTimeTheDisplayBecomesTooSmall) {
  EXPECT_EQ(heardSayingThePrompt(), (Names{"<words Qual >"}));
  tooSmall = true;
  EXPECT_EQ(displayNotice(), "Aumente o terminal");
  EXPECT_EQ(heardSayingThePrompt(), (Names{"<words Aumente o terminal >", "<words Qual >"}));
  EXPECT_EQ(heardSayingThePrompt(), (Names{"<words Qual >"}));   // not over and over
  tooSmall = false;
  EXPECT_EQ(heardSayingThePrompt(), (Names{"<words Qual >"}));
  tooSmall = true;
  EXPECT_EQ(heardSayingThePrompt(), (Names{"<words Aumente o terminal >", "<words Qual >"}));
}

}  // namespace
}  // namespace varlo::test
