// Time from a click on Compute to both passage times being set, at the 500-step limit of the
// step tables (speed 35 mph, level acceleration 10, grade 0, length 120, entrance 40, exit 380).
// The window is the real one, on the offscreen platform; the inputs are typed key by key, and
// each timed click is a QTest mouse click on Command1 with both result boxes blanked before it.
//
//   korvane_compute_click [repetitions]      (default 2001; prints median, p10, p90, min, max)
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "model/control_names.h"
#include "qt_window.h"

namespace {

QLineEdit* edit(korvane::qt::QtWindow& window, std::string_view name) {
    return window.findChild<QLineEdit*>(QString::fromLatin1(name.data(), qsizetype(name.size())));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int repetitions = 2001;
    if (argc > 1) {
        std::from_chars(argv[1], argv[1] + std::char_traits<char>::length(argv[1]), repetitions);
        repetitions = std::max(repetitions, 1);
    }

    QApplication app(argc, argv);
    korvane::qt::ApplyLook(app);
    korvane::qt::QtWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fputs("compute_click: the window was not exposed\n", stderr);
        return 1;
    }

    namespace ctl = korvane::ctl;
    const std::pair<std::string_view, const char*> inputs[] = {
        {ctl::txtSpd, "35"},     {ctl::txtAccel, "10"},    {ctl::txtGrade, "0"},
        {ctl::txtLength, "120"}, {ctl::txtEntryPos, "40"}, {ctl::txtExitPos, "380"},
    };
    for (const auto& [name, text] : inputs) {
        QLineEdit* box = edit(window, name);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(text));
    }
    auto* compute = window.findChild<QPushButton*>(QStringLiteral("Command1"));
    if (!compute || !compute->isEnabled()) {
        std::fputs("compute_click: Compute is not enabled after typing the inputs\n", stderr);
        return 1;
    }
    QTest::mouseClick(compute, Qt::LeftButton);
    const std::string entry = window.Text(ctl::txtEntryPass);
    const std::string exit = window.Text(ctl::txtExitPass);
    std::printf("inputs 35/10/0/120/40/380: Tp \"%s\", T'p \"%s\"\n", entry.c_str(), exit.c_str());

    std::vector<double> micros;
    micros.reserve(std::size_t(repetitions));
    for (int i = 0; i < repetitions + 50; ++i) {
        window.SetText(ctl::txtEntryPass, " ");
        window.SetText(ctl::txtExitPass, " ");
        const auto start = std::chrono::steady_clock::now();
        QTest::mouseClick(compute, Qt::LeftButton);
        const auto stop = std::chrono::steady_clock::now();
        if (window.Text(ctl::txtEntryPass) != entry || window.Text(ctl::txtExitPass) != exit) {
            std::fputs("compute_click: a click did not set both passage times\n", stderr);
            return 1;
        }
        if (i >= 50) { // the first clicks warm the caches
            micros.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
        }
    }
    std::sort(micros.begin(), micros.end());
    const auto at = [&](double q) { return micros[std::size_t(q * double(micros.size() - 1))]; };
    std::printf("%d clicks: median %.1f us, p10 %.1f us, p90 %.1f us, min %.1f us, max %.1f us\n",
                repetitions, at(0.5), at(0.1), at(0.9), micros.front(), micros.back());
    return 0;
}
