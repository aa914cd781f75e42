#include "probes/HtmlTags.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

// The hrefs of the anchors a browser would see, joined by " | ".
QString anchorHrefs(const QString &html)
{
    QStringList hrefs;
    forEachStartTag(html, {QLatin1StringView("a")}, [&hrefs](const HtmlStartTag &tag) {
        const HtmlAttribute *href = tag.attribute(QLatin1StringView("href"));
        hrefs << (href ? href->value : QStringLiteral("-"));
    });
    return hrefs.join(QStringLiteral(" | "));
}

struct TagRow : Row {
    QString html;
    QString hrefs;
};

const TagRow kTags[] = {
    {"plain", "<a href=\"x\">1</a><A HREF='y'>2</A><a href=z>3</a>", "x | y | z"},
    {"comment_hides", "<!-- <a href=\"hidden\">h</a> --><a href=\"seen\">s</a>", "seen"},
    {"comment_with_dashes_inside", "<!-- a -- b <a href=h> ---><a href=s>", "s"},
    {"empty_comment_ends_at_once", "<!--><a href=s>", "s"},
    {"unclosed_comment_hides_the_rest", "<a href=s><!-- <a href=h>", "s"},
    {"script_end_tag_any_case", "<SCRIPT type=x>var a='<a href=h>';</ScRiPt ><a href=s>", "s"},
    {"script_end_needs_a_boundary", "<script>x='</scripts><a href=h>'</script><a href=s>", "s"},
    {"raw_text_bodies", "<style>a[href]{}<a href=h></style><textarea><a href=t></textarea><a href=s>", "s"},
    {"quoted_greater_than", "<a title=\"a>b\" href=\"s\">x</a>", "s"},
    {"entities_decoded", "<a href=\"http://a.com/?x=1&amp;y=2&#47;&#x41;&colon;\">", "http://a.com/?x=1&y=2/A:"},
    {"unknown_entity_kept", "<a href=\"&foo;&amp\">", "&foo;&"},
    {"legacy_entity_before_equals_kept", "<a href=\"?a=1&amp=2\">", "?a=1&amp=2"},
    {"first_duplicate_wins", "<a href=first href=second>", "first"}, {"no_href", "<a name=top>", "-"},
    {"attributes_without_blanks", "<a id=\"x\"href=\"s\">", "s"}, {"blanks_around_equals", "<a href = \"s\" >", "s"},
    {"not_a_tag", "1 < 2 <3 <> <a href=s>", "s"}, {"end_tag_with_quoted_gt", "</a title='<a href=h>'><a href=s>", "s"},
    {"doctype_and_pi", "<!DOCTYPE html><?xml x='<a href=h>'?><a href=s>", "s"},
    {"cut_off_tag_does_not_count", "<a href=s></a><a href=\"h", "s"}, {"abbr_is_not_a", "<abbr href=h><a href=s>", "s"},
    {"plaintext_runs_to_the_end", "<a href=s><plaintext><a href=h>", "s"},
};

TABLE_TEST(StartTagWalk, SeesOnlyRealAnchors, kTags)
{
    EXPECT_EQ(anchorHrefs(GetParam().html), GetParam().hrefs);
}

// Attribute names and rel words in any case: BackLinkFactsTest's rows.
TEST(FirstStartTag, ReadsTheNameInLowerCaseAndValuesAsWrittenAndDecoded)
{
    const auto tag = firstStartTag(QStringLiteral("<A HREF='http://x.com/?a=1&amp;b' REL=\"External NoFollow\">t</a>"));
    ASSERT_TRUE(tag && !tag->attributes.isEmpty());
    EXPECT_EQ(tag->name, "a");
    EXPECT_EQ(tag->attributes[0].rawValue, "http://x.com/?a=1&amp;b");
    EXPECT_EQ(tag->attributes[0].value, "http://x.com/?a=1&b");
    EXPECT_FALSE(firstStartTag(QStringLiteral("text only")));
    EXPECT_FALSE(firstStartTag(QStringLiteral("<a href='unclosed")));
}

TEST(TokenWalk, GivesTagsAndTextButNoCommentOrRawBody)
{
    QStringList seen;
    const auto html = u"<P class=x>a &amp;<!-- <a href=h> --><B id=y>b</B ><script>'<a href=s>'</script>1 < 2</p";
    forEachToken(html, {QLatin1StringView("p")}, [&](const HtmlToken &t) {
        switch (t.kind) {
        case HtmlToken::Kind::StartTag: seen << "<" + t.tag.name + QString::number(t.tag.attributes.size()); break;
        case HtmlToken::Kind::EndTag: seen << "/" + t.tag.name; break;
        case HtmlToken::Kind::Text: seen << t.text.toString(); break;
        case HtmlToken::Kind::RawText: seen << "raw " + t.text.toString(); break; // none unless asked
        }
    });
    EXPECT_EQ(seen.join('|'), "<p1|a &amp;|<b0|b|/b|<script0|/script|1 |<| 2");
}

TEST(CharacterReferences, BadNumbersBecomeTheReplacementCharacter)
{
    EXPECT_EQ(decodeCharacterReferences(u"&#0;&#xD800;&#99999999999;"), QString(3, QChar(0xFFFD)));
    EXPECT_EQ(decodeCharacterReferences(u"&#x1F600;"), QString::fromUtf8("\xF0\x9F\x98\x80"));
    EXPECT_EQ(decodeCharacterReferences(u"& &# &#x; a&b"), "& &# &#x; a&b");
}

} // namespace
} // namespace friendlinks
