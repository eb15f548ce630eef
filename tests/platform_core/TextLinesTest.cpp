// Splitting text into lines under each kind of line end, reading a file as lines, and joining;
// decoding a field of UTF-8.
#include "platform/core/TextLines.h"
#include "platform/core/Text.h"
#include "tests/support/TempEnvironment.h"

#include <gtest/gtest.h>

using platform::LineEnds;

namespace
{

using Lines = QList<QByteArray>;

struct Case {
    QByteArray text;
    Lines crLfOrLf, crLfOrCr, any;
};

} // namespace

TEST(TextLines, EachKindOfLineEndSplitsWhereItsFilesExpect)
{
    const Case cases[] = {
        {"", {}, {}, {}},
        {"a", {"a"}, {"a"}, {"a"}},
        {"a\r\nb\r\n", {"a", "b"}, {"a", "b"}, {"a", "b"}},
        {"a\r\nb", {"a", "b"}, {"a", "b"}, {"a", "b"}},
        {"\r\n\r\n", {"", ""}, {"", ""}, {"", ""}},
        {"a\nb\n", {"a", "b"}, {"a\nb\n"}, {"a", "b"}},
        {"a\n\n", {"a", ""}, {"a\n\n"}, {"a", ""}},
        {"a\rb\r", {"a\rb"}, {"a", "b"}, {"a", "b"}},
        // A CR that ends the text is a CR LF cut short, whatever the kind.
        {"a\r", {"a"}, {"a"}, {"a"}},
        {"a\r\r\n", {"a\r"}, {"a", ""}, {"a", ""}},
        {"a\n\rb", {"a", "\rb"}, {"a\n", "b"}, {"a", "", "b"}},
        {"\r", {""}, {""}, {""}},
        {"a\n\r", {"a", ""}, {"a\n"}, {"a", ""}},
        {"a\rb\r\nc", {"a\rb", "c"}, {"a", "b", "c"}, {"a", "b", "c"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(platform::splitLines(c.text, LineEnds::CrLfOrLf), c.crLfOrLf);
        EXPECT_EQ(platform::splitLines(c.text, LineEnds::CrLfOrCr), c.crLfOrCr);
        EXPECT_EQ(platform::splitLines(c.text, LineEnds::Any), c.any);
    }
}

TEST(TextLines, FileIsReadAsLinesAndAMissingOneIsNoList)
{
    testsupport::TempEnvironment env;
    const QString path = env.writeFile(env.root() + "/Data.txt", "one|x\r\ntwo|\xC3\xA9\ntail");
    const auto lines = platform::readLines(path, LineEnds::CrLfOrLf);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, Lines({"one|x", "two|\xC3\xA9", "tail"}));

    EXPECT_FALSE(platform::readLines(env.root() + "/missing.txt", LineEnds::CrLfOrLf));
    EXPECT_FALSE(platform::readLines(env.root(), LineEnds::CrLfOrLf));

    const auto empty = platform::readLines(env.writeFile(env.root() + "/empty.txt", ""), LineEnds::Any);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isEmpty());
}

TEST(TextLines, JoinEndsEveryLineWithCrLfAndSplitsBackTheSame)
{
    const Lines lines{"first", "", "last"};
    const QByteArray joined = platform::joinLines(lines);
    EXPECT_EQ(joined, "first\r\n\r\nlast\r\n");
    EXPECT_EQ(platform::splitLines(joined, LineEnds::CrLfOrLf), lines);
    EXPECT_TRUE(platform::joinLines({}).isEmpty());
}

// A field decodes to every character its bytes hold: a U+FEFF first is kept like one further
// on, while the rest goes as QString::fromUtf8 takes it (bytes that are no UTF-8 become the
// replacement character, null stays null).
TEST(Utf8Text, KeepsALeadingUFeffAndOtherwiseDecodesAsFromUtf8)
{
    const QChar bom(0xFEFF);
    EXPECT_EQ(platform::textOfUtf8("\xEF\xBB\xBF"
                                   "A"),
              QString(bom) + "A");
    EXPECT_EQ(platform::textOfUtf8("\xEF\xBB\xBF"), QString(bom));
    EXPECT_EQ(platform::textOfUtf8("\xEF\xBB\xBF\xEF\xBB\xBF"), QString(bom) + bom);
    // The same decoder serves again and again: every call is a start.
    QStringDecoder decoder = platform::utf8Decoder();
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(QString(decoder.decode(QByteArrayView("\xEF\xBB\xBFx"))), QString(bom) + "x");

    for (const QByteArray &bytes :
         {QByteArray(), QByteArray(""), QByteArray("plain"),
          QByteArray("Caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x93\xBA"), QByteArray("Caf\xFE|x"),
          QByteArray("cut \xC3"), QByteArray("x\xEF\xBB\xBFy")}) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        EXPECT_EQ(platform::textOfUtf8(bytes), QString::fromUtf8(bytes));
        EXPECT_EQ(platform::textOfUtf8(bytes).isNull(), QString::fromUtf8(bytes).isNull());
    }
}
