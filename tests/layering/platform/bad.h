#include <QWidget>
#include "store/corvane3_data.h"
