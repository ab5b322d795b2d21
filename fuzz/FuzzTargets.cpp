#include "fuzz/FuzzTargets.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cli/Cli.h"
#include "logic/io/DataTable.h"
#include "logic/model/FittingsDialogModel.h"
#include "logic/model/FittingsText.h"
#include "logic/model/PanelFile.h"
#include "logic/model/PanelReport.h"
#include "logic/text/Cp1252.h"
#include "logic/text/NumberText.h"

namespace corvane::fuzz {

// Panel file loader: any bytes, into each of the four panels, then a
int PanelFile(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (int k = 1; k <= 4; ++k)
        for (const corvane::Locale& l : {corvane::DotLocale(), corvane::Locale{',', true}}) {
            corvane::PanelModel panel(static_cast<corvane::PanelKind>(k), l);
            if (!corvane::LoadPanelFile(panel, bytes)) {
                (void)panel.calculate();
                (void)corvane::PanelReport(panel);
                (void)corvane::SavePanelFile(panel);
            }
        }
    return 0;
}

// Data file lines of both data bases: parsing, padding, normalising and
int DataLines(const std::uint8_t* data, std::size_t size) {
    const std::string text = corvane::Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    corvane::DataTable table(64);
    for (const std::string& line : corvane::SplitLines(text))
        for (const corvane::Locale& l : {corvane::DotLocale(), corvane::CommaLocale()})
            for (bool third : {false, true})
                if (auto r = corvane::ParseDataLine(line, l, third)) {
                    table.add(*r);
                    const std::string row = r->f2 + "\t" + r->f3 + "\t" + corvane::PadNumberText(r->f4, l.decimalSeparator, 8) +
                                            "\t" + corvane::PadNumberText(r->f5, l.decimalSeparator, 10);
                    (void)corvane::NormaliseRowLine("11\t" + row);
                    (void)corvane::SplitRow(row);
                    (void)corvane::IsListed({row}, corvane::JoinDataLine(*r));
                    (void)corvane::TruncateDecimals(r->f4, 6, l.decimalSeparator);
                }
    return 0;
}

// Number text: reading, the entry key rule, and writing what was read.
int EntryNumber(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const corvane::Locale& l : {corvane::DotLocale(), corvane::CommaLocale()}) {
        const double v = corvane::ReadEntryNumber(text, l);
        if (!std::isfinite(v)) std::abort();
        for (int decimals : {0, 3, 6}) {
            const auto written = corvane::WriteEntryNumber(v, decimals, l);
            if (!written) std::abort();
            // What is written reads back as a number (the largest values
            // round up beyond a double and read as 0).
            if (std::fabs(v) < 1e300 && !corvane::IsEntryNumber(*written, l)) std::abort();
        }
        (void)corvane::ReadInteger(text);
        char32_t key = size ? data[0] : 0;
        (void)corvane::IsAllowedEntryKey(text, key, l);
    }
    return 0;
}

// The fittings selection string: totals, captions, the dialog's reading
int Fittings(const std::uint8_t* data, std::size_t size) {
    const std::string s(reinterpret_cast<const char*>(data), size);
    for (const corvane::Locale& l : {corvane::DotLocale(), corvane::CommaLocale()}) {
        const corvane::FittingsSelection parsed = corvane::ParseFittings(s, l);
        for (double d : {0.0, 25.0, 1e9, -5.0})
            if (std::isnan(corvane::FittingsTotalK(parsed, d))) std::abort();
        (void)corvane::FittingsCaption(s, l);
        corvane::FittingsDialogModel dialog(l);
        dialog.load(s);
        (void)dialog.store();
        for (int k = 1; k <= 23; ++k) (void)corvane::FittingReportName(k, s);
    }
    return 0;
}

// The batch tool's handling of one file's bytes, and its JSON output.
int Cli(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const corvane::BatchResult r = corvane::RunPanelFileBytes("fuzz\xff.PW1", bytes, corvane::Locale{});
    (void)corvane::ResultsToJson({r});
    return 0;
}

}  // namespace corvane::fuzz
