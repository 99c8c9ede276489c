#pragma once
// What the program's windows call to ask for help. A widget takes part in F1 help by carrying
// the dynamic property "helpContext" (an int above 0); a widget without one answers with the
// context of its nearest ancestor that has one.

#include <QString>

class QApplication;
class QWidget;

inline constexpr char HelpContextProperty[] = "helpContext";
inline constexpr char HelpFileName[] = "SENECA.chm";

// The help context of a widget, inherited from its ancestors; 0 when none carries one.
int HelpContextOf(const QWidget *widget);

// F1: a context request for `context` with the application's help file.
void RequestContextHelp(QWidget *from, int context);

// The help button: sets the application's help file to SENECA.chm again and gives the help
// system the WinHelp contents command (3, data 0), which becomes a table-of-contents request.
void RequestHelpContents();

// Makes F1 on any widget with a help context (its own or inherited) issue RequestContextHelp.
// F1 on a widget without one goes on to the widget as usual.
void InstallHelpKey(QApplication &app);
