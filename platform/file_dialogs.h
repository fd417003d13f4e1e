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
// Asks before an existing file is overwritten. defaultExtension ("trk", ".trk" or "*.trk") is
// added to a name typed without one; "*" or empty adds none.
std::string AskSaveFileName(QWidget* parent, const std::string& title, const std::string& filter,
                            const std::string& folder = {}, const std::string& initialName = {},
                            const std::string& defaultExtension = {});
