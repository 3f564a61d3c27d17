// URLs, redirects and response heads of downloads, on their own.
#include <gtest/gtest.h>

#include "script/http_head.h"

namespace varlo {
namespace {

TEST(HttpHeadTest, UrlsSplitIntoSchemeHostPortAndPath) {
  Url u;
  ASSERT_TRUE(parseUrl("HtTpS://exemplo.com.br/livros/a.txt?x=1", u));
  EXPECT_TRUE(u.secure);
  EXPECT_EQ(u.host, "exemplo.com.br");
  EXPECT_EQ(u.port, 443);
  EXPECT_EQ(u.path, "/livros/a.txt?x=1");
  ASSERT_TRUE(parseUrl("http://[::1]:8080", u));
  EXPECT_EQ(u.host, "::1");
  EXPECT_EQ(u.port, 8080);
  EXPECT_EQ(u.path, "/");
  ASSERT_TRUE(parseUrl("127.0.0.1:81/a", u));
  EXPECT_FALSE(u.secure);
  EXPECT_EQ(u.port, 81);
  for (const char* bad : {"ftp://servidor/a", "http:///a", "http://h:0/", "http://h:65536/", "http://h:8a/",
                          "http://[::1/", "http://[::1]x/", "http://h/a b", "http://h/a\r\nX: 1", ""}) {
    EXPECT_FALSE(parseUrl(bad, u)) << bad;
  }
}

TEST(HttpHeadTest, RedirectsLeadToAbsoluteRootOrNeighbourPaths) {
  Url from{true, "exemplo.com.br", 8443, "/livros/velho/a.txt"};
  Url to;
  ASSERT_TRUE(redirectTarget(from, "b.txt", to));
  EXPECT_EQ(to.path, "/livros/velho/b.txt");
  EXPECT_EQ(to.port, 8443);
  ASSERT_TRUE(redirectTarget(from, "/novo/a.txt", to));
  EXPECT_EQ(to.path, "/novo/a.txt");
  EXPECT_EQ(to.host, "exemplo.com.br");
  ASSERT_TRUE(redirectTarget(from, "http://outro/x", to));
  EXPECT_FALSE(to.secure);
  EXPECT_EQ(to.host, "outro");
  EXPECT_FALSE(redirectTarget(from, "", to));
}

TEST(HttpHeadTest, HeadsGiveStatusAndTheRecognisedHeaders) {
  std::string text = "HTTP/1.1 301 Moved\r\ncontent-type:  text/html \r\nLocation: /b\r\nContent-Length: 12\r\n\r\ncorpo";
  size_t head = headLength(text);
  EXPECT_EQ(text.substr(head), "corpo");
  Response r;
  ASSERT_TRUE(parseResponseHead(text.substr(0, head), r));
  EXPECT_EQ(r.status, 301);
  EXPECT_EQ(r.statusLine, "HTTP/1.1 301 Moved");
  EXPECT_EQ(r.type, "text/html");
  EXPECT_EQ(r.location, "/b");
  EXPECT_EQ(r.length, 12);
  EXPECT_EQ(headLength("HTTP/1.0 200 OK\nA: b\n\nx"), 22u);
  EXPECT_EQ(headLength("HTTP/1.0 200 OK\r\nA: b\r\n"), 0u);
  // Lengths that are no plain count are taken as unknown.
  for (const char* length : {"-5", "1e3", "12 34", "9999999999999999999999", ""}) {
    ASSERT_TRUE(parseResponseHead(std::string("HTTP/1.0 200 OK\r\nContent-Length: ") + length + "\r\n\r\n", r));
    EXPECT_EQ(r.length, -1) << length;
  }
  for (const char* bad : {"SSH-2.0-OpenSSH\r\n\r\n", "HTTP/1.0 2x0 OK\r\n\r\n", "HTTP/1.0 99\r\n\r\n", "HTTP/1.0\r\n\r\n"}) {
    EXPECT_FALSE(parseResponseHead(bad, r)) << bad;
  }
}

}  // namespace
}  // namespace varlo
