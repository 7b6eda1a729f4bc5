#pragma once

#include <functional>
#include <string>

// The process's one place for the texts a person may want to read that stop nothing: a material
// a model names but its library lacks, a vertex no triangle uses, a drawing mode the mesh cannot
// serve. Library code never writes to the console itself; it hands such a text here, and the
// program decides where it goes by installing a sink (the command line and the desktop program
// write "ruvo: warning: TEXT" on the error stream).
//
// Without an installed sink a text is dropped. That keeps a test, a benchmark or a fuzzer that
// reads thousands of odd models quiet; a test that checks a warning installs a sink that records.

// Receives one text: a single line without a line break.
using DiagnosticSink = std::function<void(const std::string& text)>;

// Makes `sink` the process's sink (an empty one drops every text) and returns the one it
// replaces. It returns only once no thread is still in the replaced sink, so whatever that sink
// writes to may be let go at once.
DiagnosticSink InstallDiagnosticSink(DiagnosticSink sink);

// Hands `text` to the process's sink. Safe from any thread: the readers and the normals report
// from every core. Texts reach the sink one at a time, so a sink needs no lock of its own and
// lines never interleave; a text reported from inside the sink itself is dropped.
void ReportDiagnostic(const std::string& text);

// Hands `text` to `preferred` when the caller gave one (a body load that collects its model's
// warnings to show them), otherwise to the process's sink.
void ReportDiagnostic(const DiagnosticSink& preferred, const std::string& text);
