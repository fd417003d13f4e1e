#include <QtCore/QObject>
