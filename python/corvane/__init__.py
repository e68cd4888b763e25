"""Corvane from Python: exchange files as chunk trees, mesh files as NumPy arrays.

    root = corvane.load("drawing.xml")       # the root Chunk; LoadError if it does not load
    for entity in root.child(label="Entitys"):
        print(entity.name, entity.value)
    corvane.save(root, "copy.xml")           # OSError if it is not written
    meshes = corvane.load_meshes("meshes.bin")

Texts are code page 936 inside the library and str here: a str it cannot hold
raises ValueError. Loads and saves release the GIL.
"""

from ._corvane import (ArchiveError, Chunk, Document, Inspection, LeftOut, LoadError, inspect,
                       load, save)
from ._meshes import Face, Mesh, load_meshes, save_meshes

__all__ = ["ArchiveError", "Chunk", "Document", "Face", "Inspection", "LeftOut", "LoadError",
           "Mesh", "inspect", "load", "load_meshes", "save", "save_meshes"]
