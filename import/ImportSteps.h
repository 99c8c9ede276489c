#pragma once
// The nine steps of an import run, in the order the driver calls them. Each rebuilds its
// table(s) in the working folder from one data group of the loaded document and throws
// RunError when something fails.

#include "seneca/RunState.h"
#include "seneca/UserInterface.h"

// Thrown by ImportCourses when the user forces the exit from the level-and-course dialog:
// the run ends at once, without "Proceso finalizado", and the main window closes.
struct ForcedExit {};

void ImportPeriods(RunState &state, UserInterface &ui);
void ImportCourses(RunState &state, UserInterface &ui);
void ImportSubjects(RunState &state, UserInterface &ui);
void ImportActivities(RunState &state, UserInterface &ui);
void ImportStaff(RunState &state, UserInterface &ui);
void ImportRooms(RunState &state, UserInterface &ui);
void ImportGroups(RunState &state, UserInterface &ui);
void ImportSubjectAssignments(RunState &state, UserInterface &ui);
void ImportTimeSlots(RunState &state, UserInterface &ui);
