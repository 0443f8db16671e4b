// The foundation position: the column's design foundation loads handed to the suite's plate-foundation module as
// a position file of that module beside the column's own file ("<base>_Fund.tqx").
#pragma once

#include "engine/results.h"
#include "platform/win/afx.h"

class CKolumoData;

// The codes ("progname", "modulename") of a plate-foundation position.
inline constexpr const char* kFundamentProgName = "FUND";
inline constexpr const char* kFundamentModuleName = "platte2";

// Rows of a foundation-load record that every one of its columns holds (damaged files may hold ragged columns).
int FundkraefteZeilen(const CResultFundkraefte& record);

// The file name of the foundation position of a column whose position file, without ".tqx", is basePath.
CString FoundationFileName(const char* basePath);

// The foundation module's default-input template: the user's own when there is one, else the one the installation
// ships in its "Vorlagen" folder; empty when neither exists.
CString FoundationTemplate();

// Creates the foundation position from the foundation module's default-input template, or updates an existing
// one after the user agreed to overwrite it. The file is replaced only as a whole, once every element is written.
// Every reason not to write it but the user's "No" is told in a message. Returns whether the file was written.
bool WriteFoundationPosition(CKolumoData& data, const char* basePath);
