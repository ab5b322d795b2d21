#pragma once
// JSON text whose numbers are the shortest text that reads back to the
// same double (the JSON library's own writer sometimes gives a digit more).

#include <nlohmann/json.hpp>
#include <string>

namespace corvane {

// The shortest text that reads back to `value` ("null" for NaN or an
// infinity, which JSON cannot hold).
std::string ShortestNumber(double value);

// `json` written as the library's dump(indent) writes it (objects in their
// order, ": " after a key, invalid UTF-8 replaced), but every floating-point
// number by ShortestNumber.
std::string DumpShortest(const nlohmann::ordered_json& json, int indent = 2);

}  // namespace corvane
