#pragma once

class QApplication;
class QString;

namespace mnemora {

// A diagnostic for the desktop tests, off unless the environment variable
// MNEMORA_TRACE_UI is set. Then every top-level widget of the program that is shown
// prints one line to stderr, so a test driving the real program from outside can read
// what a screenshot cannot:
//   ui-trace: menu TITLE: ENTRY | ENTRY | ...   entries as "TEXT", "TEXT[x]" (checked),
//                                               "TEXT[ ]" (checkable, unchecked), "-"
//                                               (separator), "TEXT{...}" (submenu), and
//                                               "(disabled)" after a disabled one
//   ui-trace: message TITLE: TEXT               a message box
//   ui-trace: alert CAPTION: TEXT               a desktop alert
//   ui-trace: dialog TITLE                      any other dialog
// Line breaks inside a text are printed as "\n". Menus are printed after their check
// marks have been set, as the user sees them.
void InstallUiTraceIfRequested(QApplication& app);

// Further lines for what no widget shows (the study's steps, the pause), printed only
// while the trace is on:
//   ui-trace: word TEXT counted|again           a word appeared (counted: first pass)
//   ui-trace: tray tip TEXT                     the tray icon's tip changed
bool UiTraceOn();
void PrintUiTrace(const QString& line);

} // namespace mnemora
