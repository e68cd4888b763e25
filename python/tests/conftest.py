"""Fixtures: the built tool (CORVANE_TOOL, set by the project's test run) and
the sample files `corvane demo` writes, made once per session."""

import os
import subprocess

import pytest


@pytest.fixture(scope="session")
def tool():
    path = os.environ.get("CORVANE_TOOL")
    if not path:
        pytest.skip("CORVANE_TOOL names no corvane tool")
    return path


@pytest.fixture(scope="session")
def demo(tool, tmp_path_factory):
    """The sample exchange file (demo.xml) and mesh file (demo.bin), as the library writes them."""
    folder = tmp_path_factory.mktemp("demo")
    subprocess.run([tool, "demo", str(folder)], check=True, stdout=subprocess.DEVNULL)
    return folder


def xmllint_ok(path):
    """Every XML file a test writes is checked by a parser that is not ours."""
    result = subprocess.run(["xmllint", "--noout", str(path)], capture_output=True, text=True)
    assert result.returncode == 0, result.stderr
