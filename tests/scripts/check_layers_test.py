#!/usr/bin/env python3
"""The layer check finds upward includes and links in a small tree."""
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
    "src/pipeline/Hotkeys.cpp": '#include "core/AppState.h"\n#include "service/Client.h"\n',
    "src/pipeline/CMakeLists.txt": "ormil_folder_library(ormil_pipeline LINK ormil_records Qt6::Core)\n",
    "src/mainwindow/Frame.cpp": '#include "overlay/Pill.h"\n',
    "src/app/Main.cpp": '#include "mainwindow/Frame.h"\n#include "windows/SignIn.h"\n',
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
        ]
        for name, text, expected in cases:
            with self.subTest(name=name):
                code, out = run({**BASE, name: text})
                self.assertEqual(code, 1, out)
                self.assertIn(expected, out)


if __name__ == "__main__":
    unittest.main()
