#pragma once
// A run document calculated: its references resolved (a fluid or a pipe of
// the data bases, a pipe material, water by its temperature) into the
// engine's numbers, the run solved at its flow or for its flow, and what
// the results say in words: the names of the nodes, the notes, the refusal,
// and a readable report.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "logic/engine/PipeRun.h"
#include "logic/io/DataTable.h"
#include "logic/model/runs/RunDocument.h"
#include "logic/text/Locale.h"

namespace corvane {

// The data bases a document may name rows of, read only when it does (each
// function returns the table, or nothing where it could not be read).
struct RunDataBases {
    std::function<const DataTable*()> fluids;  // filled with DotLocale()
    std::function<const DataTable*()> pipes;
};

enum class RunStatus { Ok, Refused, Invalid };

struct RunOutcome {
    RunStatus status = RunStatus::Invalid;
    std::string message;  // the refusal, '\n' between lines
    std::vector<std::string> sectionNames;
    std::string fluidName;
    PipeRun run;          // the document's numbers, resolved
    bool flowGiven = false;
    RunResult result;
    std::vector<std::string> notes;
};

RunOutcome CalculateRun(const RunDocument& document, const RunDataBases& bases, const Locale& locale);

// The notes of a calculated run in words, in metric units or (`metric`
// false) in US gpm, ft and psi.
std::vector<std::string> RunNoteTexts(const RunOutcome& outcome, const Locale& locale, bool metric);

// "inlet of Suction", "end of Discharge", "pump discharge".
std::string RunNodeName(const RunOutcome& outcome, const RunNode& node);

// "sudden contraction", "conical expansion".
std::string TransitionName(const TransitionLoss& transition);

// The results as a readable text report ('\n' line ends), numbers in the
// locale's format.
std::string RunReport(const RunOutcome& outcome, const Locale& locale);

}  // namespace corvane
