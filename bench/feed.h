// An RSS 2.0 document of about a given size for the markup benchmarks, with the mix a real feed
// has: entities, CDATA descriptions, attributes, self-closing tags and Japanese text.
#pragma once

#include <string>

inline std::string makeFeed(size_t bytes) {
    std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<rss version=\"2.0\" xmlns:atom=\"http://www.w3.org/2005/Atom\">\n<channel>\n"
                      "<title>Tavi &amp; friends: daily notes</title>\n"
                      "<link>https://example.org/notes/</link>\n"
                      "<atom:link href=\"https://example.org/notes/feed.xml\" rel=\"self\" />\n";
    for (unsigned i = 0; doc.size() < bytes; ++i) {
        const std::string n = std::to_string(i);
        doc += "<item>\n  <title>Note " + n +
               ": the kettle &amp; the cat &#8212; \xe4\xbb\x8a\xe6\x97\xa5\xe3\x81\xae\xe3\x83"
               "\xa1\xe3\x83\xa2</title>\n"
               "  <link>https://example.org/notes/" + n + ".html</link>\n"
               "  <guid isPermaLink=\"false\">note-" + n + "</guid>\n"
               "  <pubDate>Sun, 06 Dec 2026 07:" + std::to_string(i % 60) +
               ":00 +0000</pubDate>\n"
               "  <description><![CDATA[<p>The kettle sang at seven; the cat ignored it, "
               "as cats do. <b>Note " + n + "</b> was written on the train.</p>]]></description>\n"
               "  <category>daily</category>\n"
               "  <comments>&lt;none&gt; so far &#x2014; write one</comments>\n"
               "</item>\n";
    }
    doc += "</channel>\n</rss>\n";
    return doc;
}
