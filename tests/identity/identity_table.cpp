// Prints a large table of what the window shows for given inputs, and of the conversions under
// it, one line a case: the same program built natively and as WebAssembly must print the same
// bytes (compare_outputs.sh). Every input is made here, from fixed lists and from a generator
// whose sequence the C++ standard fixes (std::mt19937_64, used without a distribution, whose
// results differ between C++ libraries).
//
// Each session puts six texts into the numeric boxes of the in-memory window built from the
// layout table, in one of three ways: assigned, assigned and each box left (the range check),
// or typed key by key through the keystroke filter; then it presses Compute if it is enabled.
// Its line holds the inputs, the effective acceleration, Compute's state, both passage times,
// every message with its title and the number of beeps.

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "fake_window.h"
#include "model/control_names.h"
#include "model/conversions.h"
#include "window/layout.h"
#include "window/wiring.h"

namespace {

using korvane::Wiring;
using korvane::fake::FakeWindow;
namespace ctl = korvane::ctl;

constexpr std::array<std::string_view, 6> kBoxes{ctl::txtSpd,    ctl::txtAccel,    ctl::txtGrade,
                                                 ctl::txtLength, ctl::txtEntryPos, ctl::txtExitPos};
using Inputs = std::array<std::string, 6>;

const Inputs kFirstCase{"22", "0.5", "0", "65", "11", "77"};

// Whole sessions from the model's tests: the worked examples and the limits of the stepping.
const Inputs kSessions[] = {
    {"22", "0.5", "1", "65", "11", "77"},
    {"22", "0.5", "-5", "65", "11", "77"},
    {"22", "0.5", "0", "65", "40", "20"},
    {"22", "0.5", "0", "65", "11", "435"},
    {"22", "0.5", "0", "65", "11", "436"},
    {"1.5", "0.5", "0", "65", "11", "77"},
    {"35", "10", "0", "120", "40", "380"},
    {"5", "0.25", "0", "10", "2", "20"},
    {"5", "0.25", "0", "10", "2", "-20"},
    {"5", "0.25", "0", "10", "-20", "20"},
    {"22", "0.5", "0", "-65", "11", "77"},
    {"-22", "0.5", "0", "65", "11", "77"},
    {"22", "0.5", "2", "65", "11", "77"},
    {"22", "0.25", "5", "65", "11", "77"},
    {"22", "0", "-1", "65", "11", "77"},
    {"22", "0.01", "0.04", "65", "11", "77"},
    {"22", "0.5", "0", "32767", "-32000", "-32767"},
    {"22", "0.5", "0", "32767", "11", "-32767"},
    {"22", "1e999", "1e999", "65", "11", "77"},
    {"8", "5", "0", "10", "11", "323"},
    {"8", "5", "0", "10", "11", "329"},
    {" ", " ", " ", " ", " ", " "},
    {"", "", "", "", "", ""},
    {"22", "1e38", "-1e38", "65", "11", "77"},
    {"1", "1e30", "0", "1", "1", "1"},
    {"3", "1e38", "0", "100", "100", "400"},
};

// Texts each put into one box of the first case: the edges of the tests of the model, the
// conversions and the checks.
const char* const kEdgeTexts[] = {
    "",
    " ",
    "-",
    ".",
    "+",
    "-.",
    ".5",
    "-.5",
    "0",
    "-0",
    " 0",
    "0.4",
    "0.5",
    "0.6",
    "1.5",
    "-22",
    "-0.5",
    "64.5",
    "65.5",
    "400",
    "434.5",
    "435",
    "435.5",
    "435.6",
    "436",
    "40000",
    "-40000",
    "32767",
    "32767.5",
    "-32768.5",
    "32768",
    "22290",
    "22300",
    "1e9",
    "-1e9",
    "1e999",
    "-1e999",
    "1e39",
    "-1e39",
    "1e38",
    "1e-999",
    "5%",
    "1.2.3",
    "1 0",
    "12-3",
    "--5",
    "+5",
    "0.125",
    "0.25",
    "0.2",
    "10",
    "12.75",
    "2",
    "5",
    "-5",
    "-7.5",
    "6",
    "4.5",
    "4.9999999",
    "5.0000001",
    "35",
    "35.000001",
    "35.000002",
    "35.1",
    "50",
    "9",
    "120",
    "150",
    "2",
    "40",
    "20",
    "500",
    "600",
    "11.5",
    "12.5",
    "77",
    "1e",
    "1e+",
    "1E-",
    "e5",
    ".e5",
    "5.e1",
    "2.5E+3",
    "25e-1",
    "abc",
    "2x",
    "&H1F",
    "0x1F",
    "1,5",
    "1\t2",
    "1\n2",
    "1\r2",
    "1.7976931348623157e308",
    "1.7976931348623159e308",
    "2.2250738585072014e-308",
    "4.9406564584124654e-324",
    "2e-324",
    "3e-324",
    "0.49999999999999994",
    "123456789012345678901234567890",
    "99999999999999999999999999999999999999999",
    "-99999999999999999999999999999999999999999",
    "0.000000000000000000000000000001e30",
    "1e99999999999999999999999999",
    "1e-99999999999999999999999999",
};

class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    // A number from 0 to n - 1, the same on 32 and 64 bits.
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(engine_() % n); }
    std::uint64_t Bits() { return engine_(); }
    char Digit() { return static_cast<char>('0' + Below(10)); }

private:
    std::mt19937_64 engine_;
};

std::string Digits(Random& random, std::size_t most) {
    std::string s;
    for (std::size_t n = 1 + random.Below(most); n > 0; --n) {
        s.push_back(random.Digit());
    }
    return s;
}

// A text such as a user might type or paste into a box: a number near its range, a number in
// any form, or junk. Each draw is a statement of its own: the order in which the operands of an
// expression are evaluated differs between compilers.
std::string RandomText(Random& random) {
    std::string text;
    switch (random.Below(8)) {
    case 0:
    case 1:
    case 2: // a plain number, mostly of the size the boxes take
        text = Digits(random, 3);
        if (random.Below(2) == 0) {
            text += ".";
            text += Digits(random, 4);
        }
        break;
    case 3: // a sign, leading zeros, a point anywhere
        text = random.Below(2) == 0 ? "-" : "+";
        text += std::string(random.Below(3), '0');
        text += Digits(random, 6);
        text += ".";
        text += Digits(random, 20);
        break;
    case 4: // an exponent, far beyond the ranges at times
        text = Digits(random, 2);
        text += ".";
        text += Digits(random, 3);
        text += random.Below(2) == 0 ? "e" : "E";
        text += random.Below(2) == 0 ? "-" : "+";
        text += Digits(random, random.Below(4) == 0 ? 5 : 2);
        break;
    case 5: // huge or tiny, many digits
        text = Digits(random, 60);
        if (random.Below(2) == 0) {
            text += "e-";
            text += Digits(random, 3);
        }
        break;
    case 6: { // any printable characters, blanks, tabs and line feeds
        const std::string_view alphabet = "0123456789.+-eE, \t\nx%&H";
        for (std::size_t n = random.Below(12); n > 0; --n) {
            text.push_back(alphabet[random.Below(alphabet.size())]);
        }
        break;
    }
    default: // any byte but NUL
        for (std::size_t n = random.Below(8); n > 0; --n) {
            text.push_back(static_cast<char>(1 + random.Below(255)));
        }
        break;
    }
    if (random.Below(6) == 0) {
        text = " " + text + " ";
    }
    return text;
}

// Texts go out with every byte outside printable ASCII, and the backslash, as \xNN.
void PutEscaped(std::string& line, std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '\\') {
            constexpr std::string_view kHex = "0123456789abcdef";
            line += "\\x";
            line.push_back(kHex[byte >> 4]);
            line.push_back(kHex[byte & 15U]);
        } else {
            line.push_back(c);
        }
    }
}

void Print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

enum class Entry { Assigned, AssignedAndLeft, Typed };

// The in-memory window as an adapter builds it, with every Change forwarded to the wiring.
struct Session {
    FakeWindow window;
    Wiring wiring{window};

    Session() {
        for (const korvane::layout::Control& c : korvane::layout::kControls) {
            if (korvane::layout::IsTextBox(c.kind)) {
                const std::string name(c.name);
                window.texts[name] = std::string(c.text);
                window.advisory[name] = std::string(c.advisory);
                window.onChange[name] = [this, name] { wiring.Change(name); };
            }
        }
        wiring.Form_Load();
    }

    void Enter(std::string_view box, const std::string& text, Entry entry) {
        if (entry != Entry::Typed) {
            window.SetText(box, text);
        } else {
            window.SetText(box, "");
            for (const char c : text) {
                std::int16_t key = static_cast<unsigned char>(c);
                wiring.KeyPress(box, key);
                if (key != 0) {
                    window.SetText(box, window.Text(box) + static_cast<char>(key));
                }
            }
        }
        if (entry != Entry::Assigned) {
            wiring.LostFocus(box);
        }
    }
};

void RunSession(const Inputs& inputs, Entry entry) {
    Session s;
    for (std::size_t i = 0; i < kBoxes.size(); ++i) {
        s.Enter(kBoxes[i], inputs[i], entry);
    }
    const bool enabled = s.window.IsEnabled(ctl::Command1);
    if (enabled) {
        s.wiring.Command1_Click();
    }
    std::string line = "session " + std::to_string(static_cast<int>(entry));
    for (const std::string& text : inputs) {
        line += " |";
        PutEscaped(line, text);
    }
    line += " => |";
    PutEscaped(line, s.window.Text(ctl::txtEffAccel));
    line += enabled ? "| enabled |" : "| disabled |";
    PutEscaped(line, s.window.Text(ctl::txtEntryPass));
    line += "|";
    PutEscaped(line, s.window.Text(ctl::txtExitPass));
    line += "| beeps " + std::to_string(s.window.beeps);
    for (const FakeWindow::Message& m : s.window.messages) {
        line += " message |";
        PutEscaped(line, m.text);
        line += "|";
        PutEscaped(line, m.title);
        line += "|";
    }
    Print(line);
}

std::string Hex(std::uint64_t bits) {
    std::array<char, 17> buffer{};
    return {buffer.data(), std::to_chars(buffer.data(), buffer.data() + 16, bits, 16).ptr};
}

void PrintConversions(double value) {
    using korvane::Precision;
    const double single = static_cast<double>(korvane::StoreSingle(value));
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const std::string text = korvane::NumberText(value, Precision::Double);
    const std::string singleText = korvane::NumberText(single, Precision::Single);
    Print("number " + Hex(bits) + " |" + text + "|" + singleText + "|" +
          korvane::PatternText(text, "##.##") + "|" + korvane::PatternText(singleText, "###.#") +
          "|");
}

void PrintReading(const std::string& text) {
    const double value = korvane::ReadNumber(text);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    std::string line = "read |";
    PutEscaped(line, text);
    Print(line + "| " + Hex(bits));
}

} // namespace

int main() {
    int lines = 0;
    for (const Entry entry : {Entry::Assigned, Entry::AssignedAndLeft, Entry::Typed}) {
        for (const Inputs& inputs : kSessions) {
            RunSession(inputs, entry);
            ++lines;
        }
        RunSession(kFirstCase, entry);
        ++lines;
        for (std::size_t box = 0; box < kBoxes.size(); ++box) {
            for (const char* text : kEdgeTexts) {
                Inputs inputs = kFirstCase;
                inputs[box] = text;
                RunSession(inputs, entry);
                ++lines;
            }
        }
    }

    Random random(25);
    for (int n = 0; n < 30000; ++n) {
        Inputs inputs;
        for (std::size_t box = 0; box < inputs.size(); ++box) {
            // Mostly the first case's values, so that many sessions reach Compute.
            inputs[box] = random.Below(3) == 0 ? RandomText(random) : kFirstCase[box];
        }
        RunSession(inputs, static_cast<Entry>(random.Below(3)));
        ++lines;
    }

    for (const char* text : kEdgeTexts) {
        PrintReading(text);
        ++lines;
    }
    for (int n = 0; n < 20000; ++n) {
        PrintReading(RandomText(random));
        std::uint64_t bits = random.Bits();
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        PrintConversions(value);
        // Values of the size the window shows, with few digits and with many.
        PrintConversions(static_cast<double>(random.Below(100000)) / 1000.0);
        lines += 3;
    }
    Print("lines " + std::to_string(lines + 1));
    return 0;
}
