#pragma once

// The program's version, as the application reports it and the about box
// shows it.
namespace ProgramVersion
{
constexpr const char* text = "1.3.3.6";
}
