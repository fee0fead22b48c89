#pragma once
// The program's name as its windows show it: the title of every window while
// the main one is not minimized, and the about box's heading. Not translated.
namespace tarnovox {

inline constexpr char kProgramName[] = "Tarnovox";

}  // namespace tarnovox
