#!/usr/bin/env python3
"""The layer check finds upward includes and links, and includes without a
link, in a small tree."""
import pathlib
import subprocess
import sys
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check-layers"


def run(files):
    with tempfile.TemporaryDirectory() as tmp:
        root = pathlib.Path(tmp)
        for name, text in files.items():
            path = root / name
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(text)
        done = subprocess.run([sys.executable, str(SCRIPT), str(root)],
                              capture_output=True, text=True)
        return done.returncode, done.stdout


BASE = {
    "src/platform/Clock.h": "#pragma once\n",
    "src/platform/x11/X11Thing.cpp": '#include "platform/Clock.h"\n',
    "src/core/AppState.h": '#include "platform/Clock.h"\n',
    "src/core/CMakeLists.txt": "ormil_folder_library(ormil_core LINK ormil_platform)\n",
    "src/service/CMakeLists.txt": "ormil_folder_library(ormil_service LINK ormil_core)\n",
    "src/records/CMakeLists.txt": "ormil_folder_library(ormil_records LINK ormil_service)\n",
    "src/pipeline/Hotkeys.cpp": '#include "core/AppState.h"\n#include "service/Client.h"\n',
    "src/pipeline/CMakeLists.txt": "ormil_folder_library(ormil_pipeline LINK ormil_records Qt6::Core)\n",
    "src/overlay/CMakeLists.txt": "ormil_folder_library(ormil_overlay LINK ormil_pipeline)\n",
    "src/mainwindow/Frame.cpp": '#include "overlay/Pill.h"\n',
    "src/mainwindow/CMakeLists.txt": "ormil_folder_library(ormil_mainwindow LINK ormil_overlay)\n",
    "src/windows/CMakeLists.txt": "ormil_folder_library(ormil_windows LINK ormil_overlay)\n",
    "src/app/Main.cpp": '#include "mainwindow/Frame.h"\n#include "windows/SignIn.h"\n',
    "src/app/CMakeLists.txt": "ormil_folder_library(ormil_app LINK ormil_mainwindow ormil_windows)\n",
    "tests/pipeline/HotkeysTest.cpp":
        '#include "pipeline/Hotkeys.h"\n#include "core/AppState.h"\n#include "fakes/FakeClock.h"\n'
        '#include "support/TestSupport.h"\n',
    "tests/pipeline/CMakeLists.txt": "ormil_folder_tests(test_pipeline)\n",
}


class CheckLayersTest(unittest.TestCase):
    def test_downward_tree_passes(self):
        code, out = run(BASE)
        self.assertEqual(code, 0, out)

    def test_each_violation_is_reported(self):
        cases = [
            ("src/platform/Log.cpp", '#include "core/AppState.h"\n', "platform includes core/"),
            ("src/service/Client.cpp", '#include "pipeline/Hotkeys.h"\n', "service includes pipeline/"),
            ("src/windows/SignIn.cpp", '#include "mainwindow/Frame.h"\n', "windows includes mainwindow/"),
            ("src/records/Store.cpp", '#include "fakes/FakeClock.h"\n', "includes a test fake"),
            ("src/core/CMakeLists.txt", "ormil_folder_library(ormil_core LINK ormil_audio)\n",
             "core links ormil_audio"),
            ("src/widgets/Thing.cpp", "", "src/widgets: a folder that is in no layer"),
            # Below it, but overlay does not link ui (nor does anything it links).
            ("src/overlay/Card.cpp", '#include "ui/Colors.h"\n',
             "overlay includes ui/ but does not link ormil_ui"),
            ("tests/core/AppStateTest.cpp", '#include "pipeline/Hotkeys.h"\n',
             "a test of core includes pipeline/, which test_core does not link"),
            ("tests/pipeline/CMakeLists.txt", "ormil_folder_tests(test_pipeline LINK ormil_all)\n",
             "the tests of pipeline link ormil_all"),
        ]
        for name, text, expected in cases:
            with self.subTest(name=name):
                code, out = run({**BASE, name: text})
                self.assertEqual(code, 1, out)
                self.assertIn(expected, out)


if __name__ == "__main__":
    unittest.main()
