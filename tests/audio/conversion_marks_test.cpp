// Rendering into a directory other than the current one, and the marks the
// rendering records: where each request and heading begins in the WAV file.
#include <algorithm>
#include <cstdlib>

#include "conversion_fixture.h"
#include "production/conversion_render.h"

namespace varlo::test {
namespace {

// 50 ms at espeak-ng's rate: how far a clip may differ from the same
// request rendered alone.
constexpr long kClipTolerance = 22050 / 20;

class ConversionMarks : public ConversionFixture {
 protected:
  fs::path out, elsewhere;

  void SetUp() override {
    ConversionFixture::SetUp();
    out = root / "livro";
    elsewhere = root / "outro";
    fs::create_directories(out);
    fs::create_directories(elsewhere);
    ASSERT_EQ(chdir(elsewhere.c_str()), 0);
  }

  RenderOptions options() const {
    RenderOptions o;
    o.useEngine = o.voiceChosen = true;
    o.engineType = 5;
    o.voice = 1;
    o.effectDirectory = project.string();
    return o;
  }

  RenderResult render(const std::vector<std::string>& lines, const std::string& name,
                      const RenderOptions& o, SampleSink& sink) {
    size_t next = 0;
    TextStructure text;
    openTextStructure(text, [&](std::string& line) {
      if (next == lines.size()) return false;
      line = lines[next++];
      return true;
    });
    auto source = [&](StructuredLine& line) { return nextStructuredLine(text, line); };
    return renderText(source, audioNames(name, out.string()), o, sink);
  }

  // Frames of one request rendered on its own.
  long aloneFrames(const std::string& request) {
    SampleSink sink;
    EXPECT_EQ(render({request}, "so.txt", options(), sink), RenderResult::done);
    return wavFrames(out / "so.wav");
  }
};

// Headings found in the text are requests of their own, and a form feed
// marks a page where the request before it ends.
TEST_F(ConversionMarks, RequestsHeadingsAndPagesAreMarkedInOrderInsideTheRecording) {
  SampleSink sink;
  ASSERT_EQ(render({"CAPITULO 1", "Primeira frase do livro. Depois vem a segunda,", "que termina aqui.",
                    "", "# Segunda parte", "Outra frase\fna outra p\xE1gina."},
                   "livro.txt", options(), sink),
            RenderResult::done);
  int frames = wavFrames(out / "livro.wav");
  ASSERT_GT(frames, 0);
  EXPECT_EQ(sink.rate, 22050);
  EXPECT_EQ(sink.frames, uint64_t(frames));
  std::vector<std::string> texts;
  std::vector<int> ranks;
  for (const AudioMark& m : sink.marks) {
    texts.push_back(m.kind == AudioMark::Kind::page ? "<p>" : std::string(trimBlanks(m.text)));
    if (m.kind == AudioMark::Kind::heading) ranks.push_back(m.rank);
  }
  EXPECT_EQ(ranks, (std::vector<int>{2, 1}));
  EXPECT_EQ(texts, (std::vector<std::string>{"CAPITULO 1", "Primeira frase do livro.",
                                              "Depois vem a segunda,", "que termina aqui.",
                                              "Segunda parte", "Outra frase", "<p>",
                                              "na outra p\xE1gina."}));
  EXPECT_EQ(sink.marks.front().frame, 0u);
  for (size_t i = 1; i < sink.marks.size(); ++i) {
    bool page = sink.marks[i].kind == AudioMark::Kind::page;
    if (page || sink.marks[i - 1].kind == AudioMark::Kind::page)
      EXPECT_GE(sink.marks[i].frame, sink.marks[i - 1].frame) << i;
    else
      EXPECT_GT(sink.marks[i].frame, sink.marks[i - 1].frame) << i;
  }
  EXPECT_LT(sink.marks.back().frame, sink.frames);
  // Nothing is made in the current directory.
  EXPECT_TRUE(fs::is_empty(elsewhere));
  EXPECT_FALSE(fs::exists(out / "temp.wav"));
  EXPECT_FALSE(fs::exists(out / "ARQ_WAV.$$$"));
}

// A clip from one mark to the next is as long as its request rendered
// alone; an effect between two sentences moves the later marks by its length.
TEST_F(ConversionMarks, ClipsMatchTheirRequestsAcrossPiecesAndEffects) {
  writeSquareWave(project / "efeito.wav", 11025, 16, 1, 11025);   // a second
  SampleSink sink;
  ASSERT_EQ(render({"Uma frase bem curta.", "#SOM#efeito.wav", "Outra frase depois do efeito."},
                   "livro.txt", options(), sink),
            RenderResult::done);
  ASSERT_EQ(sink.marks.size(), 2u);
  long first = aloneFrames("Uma frase bem curta.");
  long second = aloneFrames("Outra frase depois do efeito.");
  long gap = long(sink.marks[1].frame - sink.marks[0].frame);
  EXPECT_NEAR(gap, first + 22050, kClipTolerance);
  EXPECT_NEAR(long(sink.frames - sink.marks[1].frame), second, kClipTolerance);
  EXPECT_EQ(long(sink.frames), long(wavFrames(out / "livro.wav")));
  EXPECT_TRUE(fs::is_empty(elsewhere));
}

}  // namespace
}  // namespace varlo::test
