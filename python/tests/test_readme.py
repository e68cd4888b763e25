"""The README's Python example runs as written and prints what its comments say."""

import os
import pathlib
import re
import subprocess
import sys


def test_the_readme_example_runs_as_written(tmp_path):
    source = pathlib.Path(os.environ.get("CORVANE_SOURCE_DIR", pathlib.Path(__file__).parents[2]))
    readme = (source / "README.md").read_text(encoding="utf-8")
    section = readme[readme.index("\n## Python\n"):]
    example = re.search(r"```python\n(.*?)```", section, re.S).group(1)
    assert len(example.splitlines()) <= 11
    expected = [line.split("# ", 1)[1].split(" (")[0] for line in example.splitlines()
                if line.startswith("print(")]
    result = subprocess.run([sys.executable, "-c", example], cwd=tmp_path, capture_output=True,
                            text=True, encoding="utf-8")
    assert result.returncode == 0, result.stderr
    assert result.stdout.splitlines() == expected
