# Includes that break the layering, planted in a copy of the real sources: the layering check must report
# each one.

# The core: store below engine below the interface's message code, no Qt anywhere in it.
plant(store/clock.cpp "reaches engine/" "#include \"engine/engine.h\"" "engine/engine.h")
plant(store/clock.cpp "reaches engine/" "#include <engine/tick.h>" "engine/tick.h")
plant(store/clock.cpp "reaches interface/" "#include \"interface/outgoing.h\"" "interface/outgoing.h")
plant(store/clock.cpp "by a relative path" "#include \"../engine/engine.h\"" "../engine/engine.h")
plant(engine/tick.cpp "reaches interface/" "#include \"interface/outgoing.h\"" "interface/outgoing.h")
plant(engine/tick.cpp "reaches tests/" "#include \"tests/support/fake_services.h\"" "tests/support/fake_services.h")
plant(engine/tick.cpp "reaches shell/" "#include \"shell/globals.h\"" "shell/globals.h")
plant(engine/tick.cpp "reaches platform/" "#include \"platform/sounds.h\"" "platform/sounds.h")
plant(engine/tick.cpp "includes a Qt header" "#include <QString>" "QString")
plant(interface/outgoing.cpp "reaches interface/qt/" "#include \"interface/qt/interface_folder_dialogs.h\""
      "interface/qt/interface_folder_dialogs.h")
plant(interface/outgoing.cpp "includes a Qt header" "#include <QtCore/QObject>" "QtCore/QObject")
plant(interface/outgoing.cpp "reaches resources/" "#include \"resources/strings.h\"" "resources/strings.h")
# The pieces the field-side program shares reach nothing of the simulator.
plant(interface/handover/handover.cpp "includes a Qt header" "#include <QString>" "QString")
plant(interface/handover/handover.cpp "reaches interface/" "#include \"interface/folders.h\"" "interface/folders.h")
plant(store/whole_file/whole_file.cpp "includes a Qt header" "#include <QString>" "QString")
plant(store/whole_file/whole_file.cpp "reaches store/" "#include \"store/records.h\"" "store/records.h")
# A new file in a subfolder is checked too.
plant(store/whole_file/deeper/new.h "includes a Qt header" "#include <QFile>" "QFile")

# The window layers: shell over lists over dialogs over platform over resources.
plant(dialogs/dialog_kit.cpp "reaches shell/" "#include \"shell/corvane3_window.h\"" "shell/corvane3_window.h")
plant(dialogs/crew_dialogs.cpp "reaches lists/" "#include \"lists/train_graph.h\"" "lists/train_graph.h")
plant(lists/train_graph.cpp "reaches shell/" "#include \"shell/corvane3_window.h\"" "shell/corvane3_window.h")
plant(lists/train_graph.cpp "reaches interface/qt/" "#include \"interface/qt/interface_folder_dialogs.h\""
      "interface/qt/interface_folder_dialogs.h")
plant(platform/sounds.cpp "reaches dialogs/" "#include \"dialogs/dialog_kit.h\"" "dialogs/dialog_kit.h")
plant(platform/sounds.cpp "reaches store/" "#include \"store/corvane3_data.h\"" "store/corvane3_data.h")
plant(resources/strings.h "reaches platform/" "#include \"platform/controls.h\"" "platform/controls.h")

# No program folder reaches the tests.
plant(lists/tools/train_graph_shot.cpp "reaches tests/" "#include \"tests/support/test_store.h\""
      "tests/support/test_store.h")
plant(shell/program/main.cpp "reaches tests/" "#include \"tests/support/fake_services.h\""
      "tests/support/fake_services.h")
plant(tools/territory/territory_builder.cpp "reaches tests/" "#include \"tests/support/test_store.h\""
      "tests/support/test_store.h")
plant(tools/make_default_territory.cpp "includes a Qt header" "#include <QImage>" "QImage")
plant(tools/make_default_territory.cpp "reaches dialogs/" "#include \"dialogs/dialog_kit.h\"" "dialogs/dialog_kit.h")

# hollin: a standard C++ core over the shared pieces; its windows add platform/ and nothing of the simulator.
plant(hollin/core/send_file.cpp "includes a Qt header" "#include <QString>" "QString")
plant(hollin/core/send_file.cpp "reaches hollin/" "#include \"hollin/hollin_window.h\"" "hollin/hollin_window.h")
plant(hollin/core/send_file.cpp "reaches store/" "#include \"store/corvane3_data.h\"" "store/corvane3_data.h")
plant(hollin/hollin_window.cpp "reaches engine/" "#include \"engine/engine.h\"" "engine/engine.h")
plant(hollin/hollin_window.cpp "reaches interface/" "#include \"interface/outgoing.h\"" "interface/outgoing.h")
