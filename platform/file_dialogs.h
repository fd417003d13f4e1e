// Common file dialogs. Filters are written as the design writes them,
// description and pattern in pairs separated by '|':
// "Track Territory Files (*.trk)|*.trk|All Files (*.*)|*.*".
#pragma once

#include <QString>
#include <string>

class QWidget;

// The Qt filter list of such a string: each description with its own patterns in
// brackets, ";;" between them.
QString ToQtFilter(const std::string& filter);

// The chosen file's path, or an empty string when the user cancelled.
std::string AskOpenFileName(QWidget* parent, const std::string& title, const std::string& filter,
                            const std::string& folder = {});
std::string AskSaveFileName(QWidget* parent, const std::string& title, const std::string& filter,
                            const std::string& folder = {});
