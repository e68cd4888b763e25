# Type stubs of the corvane package (the _corvane extension and _meshes).
import os
from typing import Callable, Dict, Iterable, Iterator, List, Optional, Sequence, Tuple, Union, overload

import numpy as np
import numpy.typing as npt

_Path = Union[str, "os.PathLike[str]"]
_Value = Union[bool, int, float, str, Tuple[float, ...], None]
_Progress = Optional[Callable[[int, int], object]]
_ChunkDict = Dict[str, object]

class LoadError(Exception):
    reason: str
    line: int
    column: int
    filename: str

class ArchiveError(Exception):
    cause: int
    filename: str

class Chunk(Sequence["Chunk"]):
    def __init__(self, label: str, name: str = "", value: object = None,
                 type: Optional[str] = None) -> None: ...
    @property
    def label(self) -> str: ...
    @property
    def name(self) -> str: ...
    @property
    def type(self) -> str: ...
    @property
    def value(self) -> _Value: ...
    @property
    def value_text(self) -> str: ...
    def __len__(self) -> int: ...
    def __iter__(self) -> Iterator["Chunk"]: ...
    @overload
    def __getitem__(self, index: int) -> "Chunk": ...
    @overload
    def __getitem__(self, index: slice) -> List["Chunk"]: ...
    def __delitem__(self, index: int) -> None: ...
    def child(self, label: Optional[str] = None, name: Optional[str] = None) -> Optional["Chunk"]: ...
    def append(self, child: "Chunk") -> None: ...
    def insert(self, index: int, child: "Chunk") -> None: ...
    def remove(self, child: "Chunk") -> None: ...
    def to_dict(self) -> _ChunkDict: ...
    @staticmethod
    def from_dict(d: _ChunkDict) -> "Chunk": ...

class LeftOut:
    line: int
    path: str
    reason: str
    elements_inside: int

class Inspection:
    loads: bool
    reason: str
    line: int
    column: int
    elements: int
    left_out: List[LeftOut]

def load(path: _Path, progress: _Progress = None) -> Chunk: ...
def save(root: Chunk, path: _Path) -> None: ...
def inspect(path: _Path) -> Inspection: ...

class Document:
    def __init__(self, path: _Path, mode: str = "r", progress: _Progress = None) -> None: ...
    root: Optional[Chunk]
    sys_var: Optional[Chunk]
    layers: Optional[Chunk]
    environment: Optional[Chunk]
    materials: Optional[Chunk]
    meshes: Optional[Chunk]
    groups: Optional[Chunk]
    entities: Optional[Chunk]
    closed: bool
    mode: str
    path: _Path
    def close(self) -> None: ...
    def __enter__(self) -> "Document": ...
    def __exit__(self, *exc: object) -> bool: ...

class Face:
    points3d: npt.NDArray[np.float64]
    indices: npt.NDArray[np.int32]
    points2d_a: npt.NDArray[np.float64]
    points2d_b: npt.NDArray[np.float64]
    vectors3d: npt.NDArray[np.float64]
    text: str
    number: int
    flag_a: bool
    flag_b: bool
    factor: float
    flag_c: bool
    def __init__(self, points3d: npt.ArrayLike = ..., indices: npt.ArrayLike = ...,
                 points2d_a: npt.ArrayLike = ..., points2d_b: npt.ArrayLike = ...,
                 vectors3d: npt.ArrayLike = ..., text: str = "", number: int = 0,
                 flag_a: bool = False, flag_b: bool = False, factor: float = 1.0,
                 flag_c: bool = False) -> None: ...

class Mesh:
    number: int
    name: str
    indices: npt.NDArray[np.int32]
    faces: Tuple[Face, ...]
    def __init__(self, number: int = 0, name: str = "", faces: Iterable[Face] = (),
                 indices: npt.ArrayLike = ()) -> None: ...
    @property
    def points3d(self) -> npt.NDArray[np.float64]: ...
    @property
    def face_indices(self) -> npt.NDArray[np.int32]: ...
    @property
    def points2d_a(self) -> npt.NDArray[np.float64]: ...
    @property
    def points2d_b(self) -> npt.NDArray[np.float64]: ...
    @property
    def vectors3d(self) -> npt.NDArray[np.float64]: ...
    @property
    def offsets(self) -> Dict[str, npt.NDArray[np.int64]]: ...

def load_meshes(path: _Path) -> List[Mesh]: ...
def save_meshes(meshes: Iterable[Mesh], path: _Path) -> None: ...
