"""Mesh files through Python: byte-exact round trips, NumPy shapes and
dtypes, the records' fields, failures."""

import numpy as np
import pytest

import corvane
from corvane import Face, Mesh


def test_file_to_python_to_file_keeps_the_bytes(demo, tmp_path):
    meshes = corvane.load_meshes(demo / "demo.bin")
    corvane.save_meshes(meshes, tmp_path / "copy.bin")
    assert (tmp_path / "copy.bin").read_bytes() == (demo / "demo.bin").read_bytes()
    meshes[0].faces  # faces asked for are written from the faces
    corvane.save_meshes(meshes, tmp_path / "again.bin")
    assert (tmp_path / "again.bin").read_bytes() == (demo / "demo.bin").read_bytes()


def test_lists_are_numpy_arrays_of_fixed_shapes_and_dtypes(demo):
    for mesh in corvane.load_meshes(demo / "demo.bin"):
        assert mesh.indices.dtype == np.int32 and mesh.indices.ndim == 1
        assert mesh.points3d.dtype == np.float64 and mesh.points3d.shape[1:] == (3,)
        assert mesh.offsets["points3d"][-1] == len(mesh.points3d)
        for face in mesh.faces:
            assert face.points3d.dtype == np.float64 and face.points3d.shape[1:] == (3,)
            assert face.vectors3d.shape[1:] == (3,)
            assert face.points2d_a.shape[1:] == (2,) and face.points2d_b.shape[1:] == (2,)
            assert face.indices.dtype == np.int32 and face.indices.ndim == 1


def test_every_field_comes_back(tmp_path):
    first = Face(points3d=[[0, 0, 0], [1, 2.5, -3]], indices=[0, 1, -1], points2d_a=[[1, 2]],
                 points2d_b=[[3, 4], [5, 6]], vectors3d=[[0, 0, 1]], text="底面", number=7,
                 flag_a=True, flag_b=False, factor=0.25, flag_c=True)
    meshes = [Mesh(1, "立方体", [first, Face()], indices=[4, 5, 6]), Mesh(2, "empty")]
    corvane.save_meshes(meshes, tmp_path / "m.bin")
    loaded = corvane.load_meshes(tmp_path / "m.bin")
    assert [(m.number, m.name, list(m.indices)) for m in loaded] == [(1, "立方体", [4, 5, 6]), (2, "empty", [])]
    assert loaded[0].faces == (first, Face())
    assert loaded[0].faces[0].points2d_b.tolist() == [[3, 4], [5, 6]]
    loaded[0].faces[1].text = "顶面"
    corvane.save_meshes(loaded, tmp_path / "n.bin")
    assert corvane.load_meshes(tmp_path / "n.bin")[0].faces[1].text == "顶面"
    with pytest.raises(ValueError, match="shape"):
        Face(points3d=[[1, 2]])
    with pytest.raises(ValueError, match="code page 936"):
        corvane.save_meshes([Mesh(1, "\u0100")], tmp_path / "o.bin")


def test_failures_raise_with_their_cause(demo, tmp_path):
    truncated = tmp_path / "short.bin"
    truncated.write_bytes((demo / "demo.bin").read_bytes()[:100])
    with pytest.raises(corvane.ArchiveError) as raised:
        corvane.load_meshes(truncated)
    assert raised.value.cause == 3  # endOfFile
    with pytest.raises(FileNotFoundError):
        corvane.load_meshes(tmp_path / "missing.bin")
    with pytest.raises(FileNotFoundError):
        corvane.save_meshes([Mesh()], tmp_path / "no folder" / "m.bin")
    with pytest.raises(IsADirectoryError):
        corvane.save_meshes([Mesh()], tmp_path)
    corvane.save_meshes([], tmp_path / "none.bin")
    assert corvane.load_meshes(tmp_path / "none.bin") == []
