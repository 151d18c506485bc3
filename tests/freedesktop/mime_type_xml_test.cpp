#include "quenarch/freedesktop/mime_type_xml.h"

#include <gtest/gtest.h>

namespace quenarch::freedesktop {
namespace {

TEST(MimeTypeXmlTest, ReadsTheCommentsDirectlyInsideTheType)
{
    const char* xml = R"(<?xml version="1.0" encoding="utf-8"?>
<mime-type xmlns="http://www.freedesktop.org/standards/shared-mime-info" type="text/x-demo">
  <!--Created automatically by update-mime-database. DO NOT EDIT!-->
  <comment>Demo &amp; &lt;test&gt; &#233;&#x263A; &unknown; R&amp;D</comment>
  <comment xml:lang='de'>Demo<!-- between -->-Datei</comment>
  <comment xml:lang="fr"><![CDATA[a <b> & c]]></comment>
  <comment xml:lang="de">Neuer</comment>
  <comment xml:lang="it"/>
  <magic priority="50"><match type="string" value="&lt;demo" offset="0"><comment>nested</comment></match></magic>
  <glob pattern="*.demo"/>
  <acronym>D</acronym>
</mime-type>
)";
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"default"}, "Demo & <test> é☺ &unknown; R&D"},
        {{"de_DE", "de", "default"}, "Neuer"}, // a later comment replaces an earlier one in its language
        {{"fr", "default"}, "a <b> & c"},
        {{"it", "default"}, "Demo & <test> é☺ &unknown; R&D"}, // an empty comment counts as none
        {{"es"}, ""},
    };
    for (const auto& [languages, comment] : cases) EXPECT_EQ(commentOfMimeTypeXml(xml, languages), comment) << languages.front();
}

TEST(MimeTypeXmlTest, TextWithoutCommentsHasNone)
{
    for (const char* xml : {"", "plain text", "<mime-info><comment>x</comment></mime-info>", "<mime-type type='a/b'><comment>cut short",
                            "<mime-type type='a/b'><glob pattern='*.b'/></mime-type>"})
        EXPECT_EQ(commentOfMimeTypeXml(xml, {"default"}), std::nullopt) << xml;
}

} // namespace
} // namespace quenarch::freedesktop
