// The data list with a bus of thirty regulators: thirty full projects (every name key
// filled, 300 variables each) loaded one after another, and the 9,000 rows scrolled.
// Each runs beside a raw client doing the same work: the loads beside one that reads key
// by key as a plain INI reader does, the scrolling beside a plain list of the same texts.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QListView>
#include <QScrollBar>
#include <QStringListModel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "About.h"
#include "AnsiText.h"
#include "DataListView.h"
#include "IniFile.h"
#include "Messages.h"
#include "ProjectFile.h"
#include "UGlobal_mod.h"

namespace {

using Clock = std::chrono::steady_clock;

using quorvan::kVariableTypes;
using quorvan::VariableKey;
using quorvan::VariableType;

constexpr int kRegulators = 30;

// Seconds per iteration of each benchmark's last run, for the ratios printed at the end.
std::map<std::string, double>& Results() {
    static std::map<std::string, double> results;
    return results;
}

double Seconds(Clock::duration elapsed) {
    return std::chrono::duration<double>(elapsed).count();
}

// Thirty project files, regulator codes 1 to 30, every name key filled.
class Projects {
public:
    Projects() {
        for (int code = 1; code <= kRegulators; ++code) {
            QByteArray text = "[CONFIG]\r\nCodigo=" + QByteArray::number(code) + "\r\n[BASIC]\r\n";
            for (const VariableType& type : kVariableTypes) {
                for (int n = 1; n <= type.largestNumber; ++n) {
                    const auto line = [&](char field, const QByteArray& value) {
                        text += QByteArray::fromStdString(VariableKey(type, field, n)) + "=" +
                                value + "\r\n";
                    };
                    line('1',
                         type.prefix + QByteArray::number(n) + "_R" + QByteArray::number(code));
                    line('2',
                         "Se\xF1"
                         "al " +
                             QByteArray::number(n) + " del regulador " + QByteArray::number(code));
                    line('3', QByteArray::number(n % 12 + 1));
                    line('4', QByteArray::number(2 * n));
                }
            }
            QFile file(Path(code));
            if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
                qFatal("cannot write %s", qPrintable(Path(code)));
            }
        }
    }
    QString Path(int code) const {
        return QDir(folder_.path()).filePath(QString("p%1.qzt").arg(code));
    }
    QString Folder() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
};

Projects& TheProjects() {
    static Projects projects;
    return projects;
}

// The main window on a temporary folder, its project dialog answering `next`.
class Window {
public:
    Window() : window_(about_, settings_.path()) {
        window_.SetAbrirQZT([this](QWidget*) { return TheProjects().Path(next); });
    }
    quorvan::TFGlobal& operator*() { return window_; }
    quorvan::TFGlobal* operator->() { return &window_; }
    quorvan::DataListView& List() {
        return *window_.findChild<quorvan::DataListView*>(QStringLiteral("ListaVisibles"));
    }
    int next = 1;

private:
    QTemporaryDir settings_;
    quorvan::TAboutBoxForm about_;
    quorvan::TFGlobal window_;
};

// Loads the thirty projects one after another into an empty list; each load re-sorts the
// whole list. The slowest load is reported.
void LoadThirtyProjects(benchmark::State& state) {
    Window window;
    double slowest = 0;
    Clock::duration total{};
    for (auto _ : state) {
        state.PauseTiming();
        window->Vaciarlistadedatos1Click();
        state.ResumeTiming();
        for (int code = 1; code <= kRegulators; ++code) {
            window.next = code;
            const auto start = Clock::now();
            window->LeerproyectoMorvianBasic1Click();
            const auto elapsed = Clock::now() - start;
            slowest = std::max(slowest, Seconds(elapsed));
            total += elapsed;
        }
    }
    if (window.List().Count() != kRegulators * 300) {
        state.SkipWithError("the list does not hold 9,000 rows");
    }
    state.counters["slowest_load_s"] = slowest;
    Results()["load"] = Seconds(total) / static_cast<double>(state.iterations());
}

// The raw client: every key read on its own from the file, as a plain INI reader does, the
// records kept as texts, and the whole list sorted again after each project.
void LoadThirtyProjectsKeyByKey(benchmark::State& state) {
    Clock::duration total{};
    for (auto _ : state) {
        const auto start = Clock::now();
        std::vector<std::array<QString, 4>> records;
        for (int code = 1; code <= kRegulators; ++code) {
            const std::string path = TheProjects().Path(code).toStdString();
            const auto read = [&path](const char* section, const std::string& key) {
                const auto stored = baslink::ini::ReadString(path, section, key);
                return stored ? quorvan::FromAnsi(*stored) : quorvan::kMissingKeyText;
            };
            const QString equipo = read("CONFIG", "Codigo");
            for (const VariableType& type : kVariableTypes) {
                for (int n = 1; n <= type.largestNumber; ++n) {
                    const auto key = [&](char field) { return VariableKey(type, field, n); };
                    const QString name = read("BASIC", key('1'));
                    if (name.isEmpty() || name == quorvan::kMissingKeyText) {
                        continue;
                    }
                    records.push_back({equipo + " " + read("BASIC", key('2')), name,
                                       read("BASIC", key('3')), read("BASIC", key('4'))});
                }
            }
            QCollator collator;
            collator.setCaseSensitivity(Qt::CaseInsensitive);
            std::ranges::stable_sort(records, [&collator](const auto& a, const auto& b) {
                return collator.compare(a[0], b[0]) < 0;
            });
        }
        benchmark::DoNotOptimize(records.data());
        total += Clock::now() - start;
    }
    Results()["load, key by key"] = Seconds(total) / static_cast<double>(state.iterations());
}

// Scrolls a list of 9,000 rows a page at a time, each page painted into an image.
void ScrollPages(benchmark::State& state, QListView& list, const char* result) {
    list.window()->show();
    QCoreApplication::processEvents();  // lays the rows out
    QImage frame(list.viewport()->size(), QImage::Format_RGB32);
    QScrollBar& bar = *list.verticalScrollBar();
    int page = 0;
    Clock::duration total{};
    for (auto _ : state) {
        const auto start = Clock::now();
        bar.setValue((page++ * bar.pageStep()) % (bar.maximum() + 1));
        list.viewport()->render(&frame);
        total += Clock::now() - start;
    }
    if (list.model()->rowCount() != kRegulators * 300 || bar.maximum() == 0) {
        state.SkipWithError("the list does not hold 9,000 rows");
    }
    Results()[result] = Seconds(total) / static_cast<double>(state.iterations());
}

// The window with the thirty projects loaded, shown at 1100 x 560.
void ShowNineThousandRows(Window& window) {
    for (int code = 1; code <= kRegulators; ++code) {
        window.next = code;
        window->LeerproyectoMorvianBasic1Click();
    }
    window->resize(1100, 560);
    window->show();
    QCoreApplication::processEvents();
}

void ScrollNineThousandRows(benchmark::State& state) {
    Window window;
    ShowNineThousandRows(window);
    ScrollPages(state, window.List(), "scroll");
}

void ScrollNineThousandPlainRows(benchmark::State& state) {
    Window window;
    ShowNineThousandRows(window);
    QStringList texts;
    for (int entry = 0; entry < window.List().Count(); ++entry) {
        texts << window.List().Text(entry);
    }
    QStringListModel model(texts);
    QListView plain;
    plain.resize(window.List().size());
    plain.setModel(&model);
    plain.setUniformItemSizes(true);
    plain.setFont(window.List().font());
    ScrollPages(state, plain, "scroll, plain list");
}

BENCHMARK(LoadThirtyProjects)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadThirtyProjectsKeyByKey)->Unit(benchmark::kMillisecond);
BENCHMARK(ScrollNineThousandRows)->Unit(benchmark::kMicrosecond);
BENCHMARK(ScrollNineThousandPlainRows)->Unit(benchmark::kMicrosecond);

void PrintRatio(const char* what, const std::string& subject, const std::string& baseline) {
    const auto& results = Results();
    if (results.contains(subject) && results.contains(baseline)) {
        std::printf("%s: %.3f ms against %.3f ms, ratio %.2f\n", what, results.at(subject) * 1e3,
                    results.at(baseline) * 1e3, results.at(subject) / results.at(baseline));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    quorvan::SetMessageHandler(
        [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintRatio("thirty loads against the key-by-key reader", "load", "load, key by key");
    PrintRatio("a page of the data list against a plain list", "scroll", "scroll, plain list");
    return 0;
}
