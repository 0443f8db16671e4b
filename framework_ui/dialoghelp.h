// The help of the framework dialogs: an HTML topic for a French localisation, else a PDF below the program folder.
#pragma once

// An empty pdfPath shows nothing outside French.
void ShowFrameworkDialogHelp(const char* htmlTopic, const char* pdfPath);
