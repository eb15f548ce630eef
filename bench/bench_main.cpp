// `make bench`: the big-list operations of the main window, the video-site scrape and the
// registry export and import, each against a plain C++ read and split of a file of the same
// size in the same run, printed as a table of size, median, ratio and goal.
#include "bench/BenchData.h"
#include "bench/LaunchProbe.h"
#include "mainwindow/EndProgram.h"
#include "mainwindow/Form1.h"
#include "mainwindow/SecondInstance.h"
#include "mainwindow/frmSplash.h"
#include "platform/core/SettingsStore.h"
#include "platform/core/VersionInfo.h"
#include "platform/ui/Forms.h"
#include "platform/ui/WebBrowser.h"
#include "services/clsRegistryAccess.h"
#include "services/modListViewEnh.h"
#include "services/modMarque.h"
#include "tests/mainwindow/MainWindowSession.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/TempEnvironment.h"
#include "tests/support/TimerGap.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QShortcut>
#include <QTest>
#include <QtWebEngineWidgets/QtWebEngineWidgets>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace
{

constexpr int Big = 200000;

// The program's folders, settings and Form1 as the start-up leaves them.
struct Session {
    std::unique_ptr<testsupport::TempEnvironment> env;
    std::unique_ptr<testsupport::MsgBoxRecorder> boxes;
    Form1 *form = nullptr;
    long listedSize = -1;

    Session()
    {
        env = std::make_unique<testsupport::TempEnvironment>();
        env->setEnv("CHANNELDECK_HEADLESS_MEDIA", "1");
        boxes = std::make_unique<testsupport::MsgBoxRecorder>();
        mwtest::beginMainWindowSession({QStringLiteral("DeckBench"), QStringLiteral("Bench Co"),
                                        QStringLiteral("www.example.org"), 1, 0},
                                       [] {});
        for (const char *key : {"TVLang", "RadioLang", "VideoLang"})
            mwtest::putProgramSetting(QLatin1String(key), QStringLiteral("All"));
        writeData(starterList());
    }
    ~Session() { mwtest::endMainWindowSession(); }

    static QByteArray starterList()
    {
        QFile f(QStringLiteral(CD_SOURCE_DIR "/resources/Data.txt"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : bench::channelList(200);
    }
    QString dataPath() const { return env->dataHome() + QStringLiteral("/TVDAT/Data.txt"); }
    void writeData(const QByteArray &content) const { env->writeFile(dataPath(), content); }
    void useList(int lines, bool distinctTypes = false)
    {
        const long id = distinctTypes ? -lines : lines;
        if (listedSize != id)
            writeData(bench::channelList(lines, distinctTypes));
        listedSize = id;
    }
    // Every line in the TV category, every eighth name with accents.
    void useSearchList(int lines)
    {
        const long id = long(lines) << 32;
        if (listedSize != id) {
            QByteArray list = bench::channelList(lines, false, true);
            for (const char *other : {"|Radio|", "|Video|", "|XXX|"})
                list.replace(other, "|TV|");
            writeData(list);
        }
        listedSize = id;
    }
    Form1 *showForm()
    {
        if (!form) {
            form = qobject_cast<Form1 *>(ui::Forms::load(QStringLiteral("Form1")));
            form->Show();
            QCoreApplication::processEvents();
        }
        return form;
    }
};

Session *g_session = nullptr;

// The yardstick: read the file into memory and split it into lines and fields.
size_t readAndSplit(const std::string &path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string text(size_t(in.tellg()), '\0');
    in.seekg(0);
    in.read(text.data(), std::streamsize(text.size()));
    std::vector<std::string_view> fields;
    size_t total = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        fields.clear();
        size_t from = 0;
        for (size_t bar; (bar = line.find('|', from)) != std::string_view::npos; from = bar + 1)
            fields.push_back(line.substr(from, bar - from));
        fields.push_back(line.substr(from));
        total += fields.size();
        start = end + 1;
    }
    return total;
}

void BM_ReadSplit(benchmark::State &state)
{
    g_session->useList(int(state.range(0)));
    const std::string path = g_session->dataPath().toStdString();
    for (auto _ : state)
        benchmark::DoNotOptimize(readAndSplit(path));
}

// The list's rows are placed when the view next asks for them; a timing ends once they are.
void placeRows(Form1 *f)
{
    f->ListView1->ListItems()->Item(1);
}

void BM_Load(benchmark::State &state)
{
    g_session->useList(int(state.range(0)));
    Form1 *f = g_session->showForm();
    for (auto _ : state) {
        f->cmdTV_Click();
        placeRows(f);
    }
    state.counters["shown"] = f->ListView1->ListItems()->Count();
}

void BM_CategorySwitch(benchmark::State &state)
{
    g_session->useList(int(state.range(0)));
    Form1 *f = g_session->showForm();
    f->cmdTV_Click();
    bool radio = true;
    for (auto _ : state) {
        radio ? f->cmdRadio_Click() : f->cmdTV_Click();
        placeRows(f);
        radio = !radio;
    }
}

void BM_TypePick(benchmark::State &state)
{
    g_session->useList(int(state.range(0)));
    Form1 *f = g_session->showForm();
    f->cmdTV_Click();
    const int english = [&] {
        for (int i = 0; i < f->Combo1->ListCount(); ++i)
            if (f->Combo1->List(i) == QLatin1String("English"))
                return i;
        return 0;
    }();
    bool pickEnglish = true;
    for (auto _ : state) {
        f->Combo1->setListIndex(pickEnglish ? english : 0);
        placeRows(f);
        pickEnglish = !pickEnglish;
    }
}

void BM_DistinctTypes(benchmark::State &state)
{
    g_session->useList(int(state.range(0)), true);
    Form1 *f = g_session->showForm();
    for (auto _ : state) {
        f->cmdTV_Click();
        placeRows(f);
    }
    state.counters["types"] = f->Combo1->ListCount() - 1;
}

// From the choice of a playlist file to its channels written and shown, on the starter list;
// the window's longest stall meanwhile is the longest time it could not paint.
void BM_PlaylistImport(benchmark::State &state)
{
    const QByteArray text = bench::playlist(int(state.range(0)));
    const QString path =
        g_session->env->writeFile(g_session->env->root() + QStringLiteral("/bench.m3u"), text);
    Form1 *f = g_session->showForm();
    qint64 longestStall = 0;
    for (auto _ : state) {
        state.PauseTiming();
        g_session->writeData(Session::starterList());
        g_session->listedSize = -1;
        state.ResumeTiming();
        const testsupport::TimerGap gap;
        f->importPlaylistFile(path);
        while (f->writingChannelList())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        placeRows(f);
        longestStall = std::max(longestStall, gap.longest());
    }
    state.counters["stall_ms"] = double(longestStall);
    state.counters["shown"] = f->ListView1->ListItems()->Count();
    state.counters["MB"] = double(text.size()) / 1e6;
}

// The editor's list: every other item repeats an earlier URL in another letter case.
void fillEditor(Form1 *f, int lines)
{
    f->ListView1->ListItems()->Clear();
    f->ListView1->setSorted(false);
    for (int i = 0; i < lines; ++i) {
        ui::ListItem *item = f->ListView1->ListItems()->Add(QStringLiteral("Channel %1").arg(i));
        const QString url = QStringLiteral("http://stream.example.net/live/%1").arg(i % 2 ? i / 2 : i);
        item->setSubItems(1, i % 4 == 3 ? url.toUpper() : url);
        item->setSubItems(2, QStringLiteral("English"));
        item->setSubItems(3, QStringLiteral("Section"));
    }
    f->ListView1->ListItems()->Count();
}

void BM_RemoveDuplicates(benchmark::State &state)
{
    Form1 *f = g_session->showForm();
    for (auto _ : state) {
        state.PauseTiming();
        fillEditor(f, int(state.range(0)));
        state.ResumeTiming();
        f->cmdDupes->click();
    }
    state.counters["left"] = f->ListView1->ListItems()->Count();
}

void BM_ReplaceSorted(benchmark::State &state)
{
    Form1 *f = g_session->showForm();
    for (auto _ : state) {
        state.PauseTiming();
        fillEditor(f, int(state.range(0)));
        EnhListView_SortColumns(f->ListView1, 1, false);
        f->ListView1->ListItems()->Count();
        f->Combo2->setText(QStringLiteral("Channel"));
        f->Text2->setText(QStringLiteral("channel 1"));
        f->Text3->setText(QStringLiteral("Zapped 1"));
        state.ResumeTiming();
        f->cmdReplace->click();
        f->ListView1->ListItems()->Item(1);
    }
}

// Five result pages of n links each, served on loopback.
struct VideoSite {
    testsupport::LoopbackServer server;
    std::map<std::string, std::string> pages;
    static constexpr const char *path = "/browse?s=rf&t=&l=&e=en_us&p=";

    explicit VideoSite(int links)
    {
        for (int page = 1; page <= 5; ++page)
            pages[path + std::to_string(page)] = bench::videoPage(links, page).toStdString();
        server.server().Get(".*", [this](const httplib::Request &req, httplib::Response &res) {
            res.set_content(pages[req.target], "text/html");
        });
        server.start();
        g_session->env->setEnv("CHANNELDECK_VIDEO_SITE", server.url().toUtf8());
    }
    ~VideoSite() { server.stop(); }
};

// The scrape of five pages, without their download.
void BM_VideoScrape(benchmark::State &state)
{
    const int links = int(state.range(0));
    QList<QByteArray> pages;
    for (int page = 1; page <= 5; ++page)
        pages.append(bench::videoPage(links, page));
    Form1 *f = g_session->showForm();
    for (auto _ : state) {
        state.PauseTiming();
        f->ListView3->ListItems()->Clear();
        state.ResumeTiming();
        for (const QByteArray &page : std::as_const(pages))
            f->ParseYouTubePage(page);
        f->ListView3->ListItems()->Count();
        f->ListView3->ListItems()->Item(1);
    }
    state.counters["listed"] = f->ListView3->ListItems()->Count();
}

void BM_VideoPages(benchmark::State &state)
{
    VideoSite site(int(state.range(0)));
    Form1 *f = g_session->showForm();
    for (auto _ : state)
        f->cmdYouTube_Click();
    state.counters["listed"] = f->ListView3->ListItems()->Count();
    f->cmdTV_Click();
}

const QString benchKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\DeckBench\\Many");

void BM_RegistryImport(benchmark::State &state)
{
    const QString file = g_session->env->writeFile(g_session->env->root() + QStringLiteral("/in.reg"),
                                                   bench::regFile(benchKey, int(state.range(0))));
    clsRegistryAccess reg;
    for (auto _ : state)
        reg.ImportFromReg(file);
}

void BM_RegistryExport(benchmark::State &state)
{
    clsRegistryAccess reg;
    reg.ImportFromReg(g_session->env->writeFile(g_session->env->root() + QStringLiteral("/in.reg"),
                                                bench::regFile(benchKey, int(state.range(0)))));
    const QString out = g_session->env->root() + QStringLiteral("/out.reg");
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(out);
        state.ResumeTiming();
        reg.ExportToReg(benchKey, out);
    }
}

// The channel search over 200,000 TV channels with the type filter on "English": the first
// key of a search (which takes in the channels the filter left out), a key that narrows what
// is found, one that widens it again, and Escape back to the list; each timed until the
// window has painted the list.
class ChannelSearch
{
public:
    ChannelSearch()
    {
        g_session->useSearchList(Big);
        mwtest::putProgramSetting(QStringLiteral("TVLang"), QStringLiteral("English"));
        f = g_session->showForm();
        f->cmdTV_Click();
        mwtest::putProgramSetting(QStringLiteral("TVLang"), QStringLiteral("All"));
        settle();
    }
    ~ChannelSearch()
    {
        escape();
        f->cmdTV_Click();
    }
    void open()
    {
        emit f->findChild<QShortcut *>()->activated();
        settle();
    }
    void type(const QString &text)
    {
        if (f->txtFind->isHidden())
            open();
        f->txtFind->setText(text);
        settle();
    }
    void key(Qt::Key key)
    {
        QTest::keyClick(f->txtFind, key);
        settle();
    }
    void escape()
    {
        if (!f->txtFind->isHidden())
            key(Qt::Key_Escape);
    }
    int found() const { return f->ListView1->shownCount(); }

    Form1 *f;

private:
    static void settle() { QCoreApplication::processEvents(); }
};

// Times `step`, each time from the state `prepare` leaves.
template <typename Prepare, typename Step>
void timeSearch(benchmark::State &state, Prepare prepare, Step step)
{
    ChannelSearch search;
    for (auto _ : state) {
        state.PauseTiming();
        prepare(search);
        state.ResumeTiming();
        step(search);
    }
    state.counters["shown"] = search.found();
}

void BM_SearchFirstKey(benchmark::State &state)
{
    timeSearch(
        state,
        [](ChannelSearch &s) {
            s.escape();
            s.open();
        },
        [](ChannelSearch &s) { s.key(Qt::Key_N); });
}

void BM_SearchNarrow(benchmark::State &state)
{
    timeSearch(
        state, [](ChannelSearch &s) { s.type(QStringLiteral("ch")); },
        [](ChannelSearch &s) { s.key(Qt::Key_A); });
}

void BM_SearchWiden(benchmark::State &state)
{
    timeSearch(
        state, [](ChannelSearch &s) { s.type(QStringLiteral("caf")); },
        [](ChannelSearch &s) { s.key(Qt::Key_Backspace); });
}

void BM_SearchEscape(benchmark::State &state)
{
    timeSearch(
        state, [](ChannelSearch &s) { s.type(QStringLiteral("new")); }, [](ChannelSearch &s) { s.escape(); });
}

// Collects the median of every benchmark for the table.
class TableReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::pair<std::string, long>, double> medians;
    std::map<std::pair<std::string, long>, benchmark::UserCounters> counters;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.aggregate_name == "median") {
                const std::pair<std::string, long> key{run.run_name.function_name,
                                                       std::stol(run.run_name.args)};
                medians[key] = run.GetAdjustedRealTime();
                counters[key] = run.counters;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double median(const std::string &name, long size) const
    {
        const auto it = medians.find({name, size});
        return it == medians.end() ? -1 : it->second;
    }
};

double residentMb()
{
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double memoryOverIdle()
{
    Form1 *f = g_session->showForm();
    malloc_trim(0);
    const double idle = residentMb();
    g_session->useList(Big);
    f->cmdTV_Click();
    QCoreApplication::processEvents();
    return residentMb() - idle;
}

// One start-up in a fresh process: the time from the splash's hand-over to a shown main
// window with the starter list.
int startupProbe()
{
    Session session;
    QElapsedTimer clock;
    clock.start();
    ui::Form *main = ui::Forms::load(QStringLiteral("Form1"));
    main->Show();
    QCoreApplication::processEvents();
    std::printf("%lld\n", static_cast<long long>(clock.nsecsElapsed() / 1000));
    return 0;
}

double startupMedian(const char *self, int runs)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        p.start(QString::fromLocal8Bit(self), {QStringLiteral("--startup-probe")});
        p.waitForFinished(60000);
        const QList<QByteArray> lines = p.readAllStandardOutput().trimmed().split('\n');
        ms.push_back(lines.last().toDouble() / 1000.0);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

struct Row {
    const char *label;
    const char *name;
    long size;
    const char *goal;
    double limitMs;    // 0 = no time goal
    double limitRatio; // 0 = no ratio goal
};

void printTable(const TableReporter &r, double startupMs, double memoryMb, const bench::LaunchFigures &launch)
{
    const Row rows[] = {
        {"read + split (yardstick)", "read_split", 10000, "", 0, 0},
        {"read + split (yardstick)", "read_split", 50000, "", 0, 0},
        {"read + split (yardstick)", "read_split", 100000, "", 0, 0},
        {"read + split (yardstick)", "read_split", 200000, "", 0, 0},
        {"read + split (yardstick)", "read_split", 500000, "", 0, 0},
        {"load (TV, All)", "load", 10000, "linear", 0, 0},
        {"load (TV, All)", "load", 50000, "linear", 0, 0},
        {"load (TV, All)", "load", 100000, "linear", 0, 0},
        {"load (TV, All)", "load", 200000, "<= 150 ms, <= 3x", 150, 3},
        {"load (TV, All)", "load", 500000, "linear", 0, 0},
        {"category switch", "category_switch", 200000, "<= 150 ms, <= 3x", 150, 3},
        {"type pick", "type_pick", 200000, "<= 150 ms, <= 3x", 150, 3},
        {"load, 80k distinct types", "distinct_types", 80000, "< 100 ms", 100, 0},
        {"search: first key (type filter)", "search_first_key", 200000, "< 100 ms", 100, 0},
        {"search: key that narrows", "search_narrow", 200000, "< 100 ms", 100, 0},
        {"search: key that widens", "search_widen", 200000, "< 100 ms", 100, 0},
        {"search: Escape back to the list", "search_escape", 200000, "< 100 ms", 100, 0},
        {"Remove Duplicates", "remove_duplicates", 10000, "", 0, 0},
        {"Remove Duplicates", "remove_duplicates", 200000, "< 1000 ms", 1000, 0},
        {"Replace, sorted by Channel", "replace_sorted", 10000, "", 0, 0},
        {"Replace, sorted by Channel", "replace_sorted", 200000, "< 1000 ms", 1000, 0},
        {"video site: scrape 5 pages", "video_scrape", 10000, "< 200 ms", 200, 0},
        {"video site: download + scrape", "video_pages", 10000, "", 0, 0},
        {"registry import (values)", "registry_import", 10000, "< 1000 ms", 1000, 0},
        {"registry export (values)", "registry_export", 10000, "< 1000 ms", 1000, 0},
        {"playlist import, written + shown", "playlist_import", 100000, "<= 3000 ms", 3000, 0},
    };
    std::printf("\n%-32s %8s %11s %8s  %-18s %s\n", "operation", "size", "median ms", "ratio", "goal", "met");
    for (const Row &row : rows) {
        const double ms = r.median(row.name, row.size);
        if (ms < 0)
            continue;
        const double base = r.median("read_split", row.size);
        const double ratio = base > 0 ? ms / base : -1;
        char ratioText[16] = "-";
        const std::string name = row.name;
        if (ratio > 0 && (name == "load" || name == "category_switch" || name == "type_pick"))
            std::snprintf(ratioText, sizeof ratioText, "%.2fx", ratio);
        bool met = true;
        if (row.limitMs > 0)
            met = met && ms <= row.limitMs;
        if (row.limitRatio > 0)
            met = met && ratio > 0 && ratio <= row.limitRatio;
        std::printf("%-32s %8ld %11.1f %8s  %-18s %s\n", row.label, row.size, ms, ratioText, row.goal,
                    row.goal[0] == 0 ? "" : (std::string(row.goal) == "linear" ? "" : (met ? "yes" : "NO")));
    }
    const auto stall = r.counters.find({"playlist_import", 100000});
    if (stall != r.counters.end() && stall->second.count("stall_ms"))
        std::printf("%-32s %8d %11.1f %8s  %-18s %s\n", "playlist import: window stalled", 100000,
                    double(stall->second.at("stall_ms")), "-", "", "");
    const double small = r.median("load", 10000), large = r.median("load", 500000);
    if (small > 0 && large > 0) {
        const double growth = (large / 500000.0) / (small / 10000.0);
        std::printf("%-32s %8s %11.2f %8s  %-18s %s\n", "load growth (per line, 500k/10k)", "", growth, "-",
                    "<= 1.5 (linear)", growth <= 1.5 ? "yes" : "NO");
    }
    if (startupMs >= 0)
        std::printf("%-32s %8s %11.1f %8s  %-18s %s\n", "main window: load to shown", "starter", startupMs,
                    "-", "<= 300 ms", startupMs <= 300 ? "yes" : "NO");
    if (launch.firstWindowMs >= 0)
        std::printf("%-32s %8s %11.1f %8s  %-18s %s\n", "launch to splash on screen", "starter",
                    launch.firstWindowMs, "-", "", "");
    if (launch.mainMs >= 0)
        std::printf("%-32s %8s %11.1f %8s  %-18s %s\n", "launch to main window on screen", "starter",
                    launch.mainMs, "-", "<= 530 ms", launch.mainMs <= 530 ? "yes" : "NO");
    else
        std::printf("%-32s %8s %11s %8s  %-18s %s\n", "launch to main window on screen", "starter", "-", "-",
                    "needs X display", "");
    if (launch.residentMb >= 0)
        std::printf("%-32s %8s %11.1f %8s  %-18s %s\n", "memory after start, all (MB)", "starter",
                    launch.residentMb, "-", "<= 200 MB", launch.residentMb <= 200 ? "yes" : "NO");
    if (memoryMb >= 0)
        std::printf("%-32s %8d %11.1f %8s  %-18s %s\n", "memory over idle (MB)", Big, memoryMb, "-",
                    "<= 100 MB", memoryMb <= 100 ? "yes" : "NO");
    std::printf("(%ld cores)\n", sysconf(_SC_NPROCESSORS_ONLN));
}

void registerAll(int reps)
{
    const auto add = [reps](const char *name, void (*fn)(benchmark::State &),
                            std::initializer_list<long> sizes) {
        for (long size : sizes)
            benchmark::RegisterBenchmark(name, fn)
                ->Arg(size)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1)
                ->Repetitions(reps)
                ->ReportAggregatesOnly(true);
    };
    for (long size : {10000L, 50000L, 100000L, 200000L, 500000L}) {
        add("read_split", BM_ReadSplit, {size});
        add("load", BM_Load, {size});
    }
    add("category_switch", BM_CategorySwitch, {Big});
    add("type_pick", BM_TypePick, {Big});
    add("distinct_types", BM_DistinctTypes, {80000});
    add("search_first_key", BM_SearchFirstKey, {Big});
    add("search_narrow", BM_SearchNarrow, {Big});
    add("search_widen", BM_SearchWiden, {Big});
    add("search_escape", BM_SearchEscape, {Big});
    add("remove_duplicates", BM_RemoveDuplicates, {10000, Big});
    add("replace_sorted", BM_ReplaceSorted, {10000, Big});
    add("video_scrape", BM_VideoScrape, {10000});
    add("video_pages", BM_VideoPages, {10000});
    add("registry_import", BM_RegistryImport, {10000});
    add("registry_export", BM_RegistryExport, {10000});
    add("playlist_import", BM_PlaylistImport, {100000});
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ui::prepareBrowserEnvironment();
    QApplication app(argc, argv);
    if (argc > 1 && std::string(argv[1]) == "--startup-probe")
        return startupProbe();
    // The generated list for a look at the real program: lines, file, then "accented" for
    // accented names.
    if (argc > 3 && std::string(argv[1]) == "--write-channel-list") {
        QFile out(QString::fromLocal8Bit(argv[3]));
        const bool accented = argc > 4 && std::string(argv[4]) == "accented";
        return out.open(QIODevice::WriteOnly) &&
                       out.write(bench::channelList(std::atoi(argv[2]), false, accented)) >= 0
                   ? 0
                   : 1;
    }

    const double startupMs = startupMedian(argv[0], 5);
    const bench::LaunchFigures launch =
        bench::launchMedian(QCoreApplication::applicationDirPath() + QStringLiteral("/channeldeck"), 5);
    benchmark::Initialize(&argc, argv);
    Session session;
    g_session = &session;
    const double memoryMb = memoryOverIdle();
    registerAll(qEnvironmentVariableIntValue("BENCH_REPETITIONS") > 0
                    ? qEnvironmentVariableIntValue("BENCH_REPETITIONS")
                    : 5);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printTable(reporter, startupMs, memoryMb, launch);
    g_session = nullptr;
    benchmark::Shutdown();
    return 0;
}
