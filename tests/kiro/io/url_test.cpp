// Tests of the URL splitter.
#include "kiro/io/url.h"

#include <gtest/gtest.h>

using kiro::io::Url;

TEST(Url, HttpsWithPathAndQuery) {
    Url u(L"https://news.example.org/feed.xml?x=1");
    EXPECT_EQ(u.scheme, L"https");
    EXPECT_EQ(u.host, L"news.example.org");
    EXPECT_EQ(u.path, L"/feed.xml");
    EXPECT_EQ(u.query, L"x=1");
    EXPECT_EQ(u.extension, L"xml");
    EXPECT_EQ(u.port, 443);
    EXPECT_EQ(u.full, L"https://news.example.org/feed.xml");
}

TEST(Url, HostOnlyGetsRootPath) {
    Url u(L"http://example.com");
    EXPECT_EQ(u.host, L"example.com");
    EXPECT_EQ(u.path, L"/");
    EXPECT_EQ(u.query, L"");
    EXPECT_EQ(u.extension, L"");
    EXPECT_EQ(u.port, 80);
    EXPECT_EQ(u.full, L"http://example.com/");
}

TEST(Url, TextWithoutSchemeMarkIsEmpty) {
    for (const wchar_t* text : {L"", L"example.com/feed.xml", L"http:/example.com", L"mailto:a@b"}) {
        Url u(text);
        EXPECT_TRUE(u.full.empty() && u.scheme.empty() && u.host.empty() && u.path.empty() &&
                    u.query.empty() && u.extension.empty())
            << text;
        EXPECT_EQ(u.port, 0) << text;
    }
}

TEST(Url, PortOnlyForExactSchemes) {
    Url withPort(L"http://127.0.0.1:8080/a/b.rdf");
    EXPECT_EQ(withPort.host, L"127.0.0.1:8080");
    EXPECT_EQ(withPort.port, 80);
    EXPECT_EQ(withPort.path, L"/a/b.rdf");
    EXPECT_EQ(withPort.extension, L"rdf");
    EXPECT_EQ(Url(L"HTTP://e.com/").port, 0);
    EXPECT_EQ(Url(L"ftp://e.com/").port, 0);
    Url noScheme(L"://e.com/x");
    EXPECT_EQ(noScheme.scheme, L"");
    EXPECT_EQ(noScheme.host, L"e.com");
    EXPECT_EQ(noScheme.full, L"://e.com/x");
}

TEST(Url, QueryAndFragmentNeverLeakIntoHostOrPath) {
    Url direct(L"http://e.com?a=1");
    EXPECT_EQ(direct.host, L"e.com");
    EXPECT_EQ(direct.path, L"/");
    EXPECT_EQ(direct.query, L"a=1");
    Url twice(L"http://e.com/p?a=1?b=2&c=http://x/y");
    EXPECT_EQ(twice.path, L"/p");
    EXPECT_EQ(twice.query, L"a=1?b=2&c=http://x/y");
    Url fragment(L"http://e.com/index.html?q=1#top");
    EXPECT_EQ(fragment.path, L"/index.html");
    EXPECT_EQ(fragment.query, L"q=1");
    EXPECT_EQ(fragment.extension, L"html");
    EXPECT_EQ(Url(L"http://e.com#top").host, L"e.com");
}

TEST(Url, ExtensionComesFromTheLastSegment) {
    EXPECT_EQ(Url(L"http://e.com/v1.2/feed").extension, L"");
    EXPECT_EQ(Url(L"http://e.com/v1.2/feed.atom").extension, L"atom");
    EXPECT_EQ(Url(L"http://e.com/a.tar.gz?v=1.5").extension, L"gz");
    EXPECT_EQ(Url(L"http://e.com/dir./").extension, L"");
    EXPECT_EQ(Url(L"http://e.com/name.").extension, L"");
}
