"""Exchange files through Python: byte-exact round trips, the tool's JSON,
load errors, progress, threads and the conversion document."""

import json
import subprocess
import threading

import pytest

import corvane
from conftest import xmllint_ok


def test_file_to_python_to_file_keeps_the_bytes(demo, tmp_path):
    source = demo / "demo.xml"
    corvane.save(corvane.load(source), tmp_path / "copy.xml")
    assert (tmp_path / "copy.xml").read_bytes() == source.read_bytes()
    xmllint_ok(tmp_path / "copy.xml")


def test_the_dict_is_the_json_of_corvane_convert_both_ways(demo, tool, tmp_path):
    subprocess.run([tool, "convert", str(demo / "demo.xml"), str(tmp_path / "tool.json")], check=True)
    tool_json = json.loads((tmp_path / "tool.json").read_text(encoding="utf-8"))
    root = corvane.load(demo / "demo.xml")
    assert root.to_dict() == tool_json
    (tmp_path / "python.json").write_text(json.dumps(root.to_dict(), ensure_ascii=False), encoding="utf-8")
    subprocess.run([tool, "convert", str(tmp_path / "python.json"), str(tmp_path / "tool.xml")], check=True)
    corvane.save(corvane.Chunk.from_dict(tool_json), tmp_path / "python.xml")
    assert (tmp_path / "python.xml").read_bytes() == (tmp_path / "tool.xml").read_bytes()


def test_gbk_text_reaches_python_and_the_file(tmp_path):
    declared = tmp_path / "gbk.xml"
    declared.write_bytes('<?xml version="1.0" encoding="GBK"?><Root Name="墙体"><Layer Type="string" '
                         'Value="门窗"/></Root>'.encode("gbk"))
    root = corvane.load(declared)
    assert (root.name, root[0].value) == ("墙体", "门窗")
    corvane.save(root, tmp_path / "out.xml")
    assert (tmp_path / "out.xml").read_bytes() == ('<?xml version="1.0"?><Root Name="墙体"><Layer '
                                                  'Type="string" Value="门窗"/></Root>').encode()


def test_a_file_that_does_not_load_says_why_and_where(tmp_path):
    bad = tmp_path / "bad.xml"
    bad.write_text("<Root>\n  <Var></Root>\n")
    with pytest.raises(corvane.LoadError) as raised:
        corvane.load(bad)
    assert (raised.value.reason, raised.value.line, raised.value.column) == ("mismatched tag", 2, 10)
    assert str(raised.value) == str(bad) + ": line 2, column 10: mismatched tag"
    with pytest.raises(FileNotFoundError):
        corvane.load(tmp_path / "missing.xml")
    inspection = corvane.inspect(bad)
    assert (inspection.loads, inspection.reason, inspection.line) == (False, "mismatched tag", 2)


def test_inspect_lists_what_a_load_leaves_out(tmp_path):
    path = tmp_path / "lossy.xml"
    path.write_text('<Root>\n<Var Name="A" Type="colour" Value="red"><In/></Var>\n<Ok/></Root>')
    assert [c.label for c in corvane.load(path)] == ["Ok"]
    inspection = corvane.inspect(path)
    assert (inspection.loads, inspection.elements) == (True, 4)
    [left] = inspection.left_out
    assert (left.line, left.path, left.elements_inside) == (2, '/Root/Var["A"]', 1)
    assert "colour" in left.reason
    only_root = tmp_path / "root_left_out.xml"
    only_root.write_text('<Root Type="int" Value="x"/>')
    with pytest.raises(corvane.LoadError, match="document element is left out"):
        corvane.load(only_root)


def test_a_save_that_fails_raises_the_system_error(tmp_path):
    root = corvane.Chunk("Root")
    with pytest.raises(FileNotFoundError):
        corvane.save(root, tmp_path / "no folder" / "a.xml")
    with pytest.raises(IsADirectoryError):
        corvane.save(root, tmp_path)
    corvane.save(root, tmp_path / "a.xml")
    assert len(root) == 0 and root.label == "Root"  # saving leaves the tree whole


def test_progress_is_reported_and_its_exception_stops_the_load(demo):
    seen = []
    corvane.load(demo / "demo.xml", progress=lambda position, total: seen.append((position, total)))
    assert seen[0] == (0, 100) and len(seen) > 10 and all(total == 100 for _, total in seen)

    def stop(position, total):
        if position > 20:
            raise KeyError("stop here")
    with pytest.raises(KeyError, match="stop here"):
        corvane.load(demo / "demo.xml", progress=stop)
    with pytest.raises(TypeError):
        corvane.load(demo / "demo.xml", progress=3)


def test_two_threads_load_at_once(demo):
    expected = corvane.load(demo / "demo.xml").to_dict()
    results = []
    ticks = []
    threads = [threading.Thread(target=lambda: results.append(corvane.load(
        demo / "demo.xml", progress=lambda p, t: ticks.append(p)).to_dict())) for _ in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert results == [expected] * 4


def test_the_document_reads_sections_and_writes_on_leaving_the_block(demo, tmp_path):
    document = corvane.Document(demo / "demo.xml")
    assert [document.sys_var.label, document.layers.label, document.environment.label,
            document.materials.label, document.meshes.label, document.groups.label,
            document.entities.label] == ["SysVar", "Layers", "Environment", "Materials", "Meshs",
                                         "Groups", "Entitys"]
    assert document.sys_var.child(name="dimscale").value == 1.0
    target = tmp_path / "new.xml"
    with corvane.Document(target, "w") as written:
        written.sys_var.append(corvane.Chunk("Var", name="DIMSCALE", value=2.5))
        assert not target.exists()
    assert target.read_bytes() == (
        b'<?xml version="1.0"?><FILE_CONVERT><SysVar><Var Name="DIMSCALE" Type="double" '
        b'Value="2.500000"/></SysVar><Layers/><Environment/><Materials/><Meshs/><Groups/>'
        b'<Entitys/></FILE_CONVERT>')
    xmllint_ok(target)
    with pytest.raises(ValueError, match="closed"):
        written.sys_var
    with pytest.raises(RuntimeError):
        with corvane.Document(target, "w") as failed:
            failed.layers.append(corvane.Chunk("Layer"))
            raise RuntimeError
    assert b"<Layer/>" not in target.read_bytes()  # a block that raised writes nothing
    with pytest.raises(corvane.LoadError):
        corvane.Document(demo / "demo.bin")
    with pytest.raises(ValueError):
        corvane.Document(target, "a")
