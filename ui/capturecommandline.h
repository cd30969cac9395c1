#pragma once

#include <QCommandLineOption>

class FormMain;
class QCommandLineParser;

// --capture FILE: capture the log to FILE from the start, for this run only
// (the stored choice of raw or timed capture applies).
QCommandLineOption captureOption();

// Starts the capture when the option was given. Call it after the main
// window is made and before it loads, so the start-up lines are captured.
void captureFromCommandLine(FormMain& formMain, const QCommandLineParser& parser);
