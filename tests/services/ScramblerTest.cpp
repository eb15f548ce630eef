#include "services/modGenDec.h"

#include <QList>
#include <QString>
#include <gtest/gtest.h>

namespace
{

QByteArray allCodesBelow255()
{
    QByteArray s;
    for (int c = 0; c < 255; ++c)
        s.append(char(c));
    return s;
}

int code(const QByteArray &s, int i)
{
    return static_cast<unsigned char>(s[i]);
}

} // namespace

TEST(Scrambler, EveryCodeUpTo254RoundTripsWithAShiftThatWrapsAt255)
{
    const QByteArray plain = allCodesBelow255();
    const QByteArray scrambled = EncryptString(plain);
    ASSERT_EQ(scrambled.size(), plain.size());
    EXPECT_EQ(DecryptString(scrambled), plain);

    // Stored files depend on the exact mapping: one key, wrap by 255 (not 256).
    const int key = code(scrambled, 0);
    ASSERT_GE(key, 1);
    ASSERT_LE(key, 254);
    for (int c = 0; c < 255; ++c) {
        const int expected = c + key > 255 ? c + key - 255 : c + key;
        ASSERT_EQ(code(scrambled, c), expected) << c;
        ASSERT_NE(code(scrambled, c), 0) << c;
    }
    EXPECT_TRUE(EncryptString(QByteArray()).isEmpty());
    EXPECT_TRUE(DecryptString(QByteArray()).isEmpty());
}

TEST(Scrambler, NoByteOfATextLineScramblesToALineBreakOrNul)
{
    QByteArray lineBytes("\t");
    for (int c = 0x20; c <= 0x7E; ++c)
        lineBytes.append(char(c));
    for (int c = 0x80; c <= 0xF4; ++c)
        lineBytes.append(char(c));
    const QByteArray scrambled = EncryptString(lineBytes);
    for (int i = 0; i < scrambled.size(); ++i) {
        const int x = code(scrambled, i);
        EXPECT_TRUE(x != 0 && x != '\r' && x != '\n') << "plain " << code(lineBytes, i) << " -> " << x;
    }
}

TEST(Scrambler, FavouritesLineComesBackWithItsSeparators)
{
    const QByteArray line = QStringLiteral("Télé Ünï|http://127.0.0.1/a?b=1&c=\"2\"|TV|Français").toUtf8();
    const QByteArray scrambled = EncryptString(line);
    EXPECT_EQ(scrambled.size(), line.size());
    EXPECT_EQ(scrambled.count(EncryptString("|")), line.count('|')); // each character by itself
    EXPECT_EQ(DecryptString(scrambled).split('|').size(), 4);
    EXPECT_EQ(DecryptString(scrambled), line);
    // Unscrambling plain text is harmless: same length, no error.
    EXPECT_EQ(DecryptString(line).size(), line.size());
}

TEST(Scrambler, Code255BecomesAQuestionMarkNotANul)
{
    const QByteArray scrambled = EncryptString(QByteArray("a\xff"
                                                          "b"));
    EXPECT_EQ(scrambled, EncryptString("a?b"));
    EXPECT_EQ(DecryptString(scrambled), QByteArray("a?b"));
}
