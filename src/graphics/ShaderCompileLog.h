// Shader compiles of the GL device in "debug.txt", with their time, so a
// stall during play can be traced to the program that caused it.
#pragma once

// Starts reporting the device's compiles to the log (written only while
// "Debug out" is on).
void LogShaderCompiles();
