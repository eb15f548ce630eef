// Shared set-up of the main-window tests: temporary program, data and registry folders,
// recorded message boxes, the program's end replaced, and the window classes registered.
#pragma once

#include "mainwindow/Form1.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/TempEnvironment.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace mwtest
{

// Data.txt lines in the file's own layout, CR LF ended.
QByteArray dataFile(const QStringList &lines);
// "id|name|category|url|types|1/1/01|1/1/01|favourites|rating|".
QString channelLine(const QString &name, const QString &category, const QString &types,
                    const QString &url = QStringLiteral("http://127.0.0.1:9/stream"),
                    const QString &rating = QStringLiteral("5"),
                    const QString &favourites = QStringLiteral("1/1/01"));

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void writeData(const QStringList &lines) const;
    // Loads Form1 (its start-up lists the TV channels) and lays it out at design size.
    Form1 *loadForm1();
    // From here on, every Form1 loaded has each model change of its channel list checked; a
    // broken one ends the test.
    static void checkChannelListModel();

    // Texts of the list's items in their current order.
    static QStringList itemTexts(ui::ListView *lv);
    static QStringList comboItems(ui::ComboBox *combo);
    // Picks an item of a combo box as the user would.
    static void pick(ui::ComboBox *combo, const QString &text);

    static QString setting(const QString &key);
    static void putSetting(const QString &key, const QString &value);

    std::unique_ptr<testsupport::TempEnvironment> env;
    std::unique_ptr<testsupport::MsgBoxRecorder> boxes;
    int endCalls = 0;
};

} // namespace mwtest
