#pragma once

#include "case/CaseInfo.h"

#include <QString>

// The main window's title: the program's title, then the data file's name (without folders) once
// the case was opened from one or saved to one, then the case number and the decedent when the
// case information gives them, what the body is when it is not a body model (`bodyNote`, "CT
// body: ..."), and the placeholder where Qt shows "*" for unsaved changes.
// "kestrane.example - Ruvolane 2.7.0 - case.txt - Case 2026-0412, decedent D-17[*]"
QString CaseWindowTitle(const QString& programTitle, const QString& dataFile, const CaseInfo& info,
                        const QString& bodyNote = {});
