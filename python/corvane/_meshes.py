"""Mesh files: Mesh and Face records whose lists are NumPy arrays.

A loaded mesh keeps each list of all its faces joined in one array (one copy
from the library's records); its faces are views into those arrays, made
when first asked for. Coordinates are float64 arrays of shape (n, 3) or
(n, 2), indices int32 arrays of shape (n,).
"""

import numpy as np

from . import _corvane

_LISTS = (("points3d", 3, np.float64), ("indices", 1, np.int32), ("points2d_a", 2, np.float64),
          ("points2d_b", 2, np.float64), ("vectors3d", 3, np.float64))


def _array(values, width, dtype, what):
    array = np.ascontiguousarray(values, dtype=dtype)
    if array.size == 0:
        array = array.reshape((0, width) if width > 1 else (0,))
    if (width == 1 and array.ndim != 1) or (width > 1 and (array.ndim != 2 or array.shape[1] != width)):
        shape = "(n,)" if width == 1 else "(n, %d)" % width
        raise ValueError("%s must have shape %s, not %s" % (what, shape, array.shape))
    return array


class Face:
    """One face: points3d, indices, points2d_a, points2d_b, vectors3d (arrays),
    text (str), number (int), flag_a, flag_b, flag_c (bool), factor (float)."""

    __slots__ = ("points3d", "indices", "points2d_a", "points2d_b", "vectors3d",
                 "text", "number", "flag_a", "flag_b", "factor", "flag_c")

    def __init__(self, points3d=(), indices=(), points2d_a=(), points2d_b=(), vectors3d=(),
                 text="", number=0, flag_a=False, flag_b=False, factor=1.0, flag_c=False):
        for (name, width, dtype), values in zip(_LISTS, (points3d, indices, points2d_a,
                                                          points2d_b, vectors3d)):
            setattr(self, name, _array(values, width, dtype, name))
        self.text = text
        self.number = number
        self.flag_a = flag_a
        self.flag_b = flag_b
        self.factor = factor
        self.flag_c = flag_c

    def __eq__(self, other):
        if not isinstance(other, Face):
            return NotImplemented
        return all(np.array_equal(getattr(self, name), getattr(other, name))
                   if isinstance(getattr(self, name), np.ndarray)
                   else getattr(self, name) == getattr(other, name) for name in self.__slots__)

    def __repr__(self):
        return "Face(%d points3d, %d indices, text=%r, number=%d)" % (
            len(self.points3d), len(self.indices), self.text, self.number)


class Mesh:
    """One mesh: number (int), name (str), faces (a tuple of Face) and indices
    (int32 array). The joined arrays of all faces are points3d, face_indices,
    points2d_a, points2d_b and vectors3d; offsets[name][i] is where face i
    starts in them. Assign faces to replace them."""

    def __init__(self, number=0, name="", faces=(), indices=()):
        self.number = number
        self.name = name
        self.indices = _array(indices, 1, np.int32, "indices")
        self.faces = faces

    @classmethod
    def _from_columns(cls, columns):
        mesh = cls.__new__(cls)
        mesh.number, mesh.name, mesh.indices = columns[0], columns[1], columns[2]
        mesh._columns = columns
        mesh._faces = None
        return mesh

    @property
    def faces(self):
        if self._faces is None:
            self._faces = tuple(self._face(i) for i in range(len(self._columns[13])))
        return self._faces

    @faces.setter
    def faces(self, faces):
        self._faces = tuple(faces)
        for face in self._faces:
            if not isinstance(face, Face):
                raise TypeError("faces must be Face objects, not %s" % type(face).__name__)
        self._columns = None

    def _face(self, i):
        c = self._columns
        lists = [c[3 + 2 * k][c[4 + 2 * k][i]:c[4 + 2 * k][i + 1]] for k in range(5)]
        face = Face.__new__(Face)
        (face.points3d, face.indices, face.points2d_a, face.points2d_b, face.vectors3d) = lists
        face.text = c[13][i]
        face.number = int(c[14][i])
        face.flag_a, face.flag_b = bool(c[15][i]), bool(c[16][i])
        face.factor = float(c[17][i])
        face.flag_c = bool(c[18][i])
        return face

    def _joined(self):
        """The columns the library's records are made from, from the faces
        when they were asked for (they may have changed)."""
        if self._faces is None:
            return (int(self.number), self.name,
                    _array(self.indices, 1, np.int32, "indices")) + self._columns[3:]
        faces = self._faces
        columns = [int(self.number), self.name, _array(self.indices, 1, np.int32, "indices")]
        for name, width, dtype in _LISTS:
            arrays = [_array(getattr(face, name), width, dtype, name) for face in faces]
            offsets = np.zeros(len(arrays) + 1, dtype=np.int64)
            np.cumsum([len(a) for a in arrays], out=offsets[1:])
            empty = np.empty((0, width) if width > 1 else (0,), dtype=dtype)
            columns += [np.concatenate(arrays) if arrays else empty, offsets]
        columns.append([face.text for face in faces])
        columns.append(np.array([face.number for face in faces], dtype=np.int32))
        for name, dtype in (("flag_a", bool), ("flag_b", bool), ("factor", np.float64),
                            ("flag_c", bool)):
            columns.append(np.array([getattr(face, name) for face in faces], dtype=dtype))
        return tuple(columns)

    def _column(self, k):
        return self._joined()[3 + 2 * k: 5 + 2 * k]

    points3d = property(lambda self: self._column(0)[0], doc="All faces' 3D points, (n, 3).")
    face_indices = property(lambda self: self._column(1)[0], doc="All faces' indices, (n,).")
    points2d_a = property(lambda self: self._column(2)[0], doc="All faces' first 2D points.")
    points2d_b = property(lambda self: self._column(3)[0], doc="All faces' second 2D points.")
    vectors3d = property(lambda self: self._column(4)[0], doc="All faces' vectors, (n, 3).")

    @property
    def offsets(self):
        """Per joined list, where each face starts (faces + 1 entries)."""
        names = ("points3d", "face_indices", "points2d_a", "points2d_b", "vectors3d")
        return {name: self._column(k)[1] for k, name in enumerate(names)}

    def __repr__(self):
        count = len(self._faces if self._faces is not None else self._columns[13])
        return "Mesh(number=%d, name=%r, <%d faces>, %d indices)" % (
            self.number, self.name, count, len(self.indices))


def load_meshes(path):
    """The meshes of the mesh file at path. OSError when it does not open,
    ArchiveError when its data ends early or is not a mesh file."""
    return [Mesh._from_columns(columns) for columns in _corvane._load_meshes(path)]


def save_meshes(meshes, path):
    """Writes the meshes to path, the bytes the library writes (the old file is
    replaced only by a complete new one). OSError when it is not written."""
    columns = []
    for mesh in meshes:
        if not isinstance(mesh, Mesh):
            raise TypeError("meshes must be Mesh objects, not %s" % type(mesh).__name__)
        columns.append(mesh._joined())
    _corvane._save_meshes(columns, path)
