"""Chunk trees built and read from Python: values, the sequence protocol,
lookups, text in code page 936 and the dict layout."""

import pytest

import corvane
from corvane import Chunk


def test_values_infer_their_kind_or_take_the_type_given():
    cases = [
        (dict(value=True), "bool", True),
        (dict(value=-7), "int", -7),
        (dict(value=2**31), "long64", 2**31),
        (dict(value=2**63), "ulong64", 2**63),
        (dict(value=2.5), "double", 2.5),
        (dict(value="墙体"), "string", "墙体"),
        (dict(value=(1, 2)), "double2", (1.0, 2.0)),
        (dict(value=[1, 2, 3, 4]), "double4", (1.0, 2.0, 3.0, 4.0)),
        (dict(value=7, type="uint"), "uint", 7),
        (dict(value=7, type="LONG64"), "long64", 7),
        (dict(value=0.1, type="float"), "float", pytest.approx(0.1)),
        (dict(value=(0.5, 1, 2), type="float3"), "float3", (0.5, 1.0, 2.0)),
        (dict(value="red", type="color"), "color", "red"),
        (dict(), "", None),
    ]
    for arguments, tag, value in cases:
        chunk = Chunk("Var", name="N", **arguments)
        assert (chunk.label, chunk.name, chunk.type, chunk.value) == ("Var", "N", tag, value)
    assert Chunk("Var", value=0.1, type="float").value_text == "0.100000"


def test_values_that_do_not_fit_are_refused():
    with pytest.raises(OverflowError):
        Chunk("Var", value=2**32, type="uint")
    with pytest.raises(OverflowError):
        Chunk("Var", value=2**64)
    with pytest.raises(OverflowError):
        Chunk("Var", value=-1, type="ulong64")
    with pytest.raises(TypeError):
        Chunk("Var", value=1.5, type="int")
    with pytest.raises(TypeError):
        Chunk("Var", value=1, type="bool")
    with pytest.raises(TypeError):
        Chunk("Var", value=(1, 2), type="double3")
    with pytest.raises(TypeError):
        Chunk("Var", value=object())
    with pytest.raises(ValueError):
        Chunk("Var", type="int")
    with pytest.raises(ValueError):
        Chunk("not a name")


def test_text_outside_code_page_936_is_refused_never_replaced(tmp_path):
    for arguments in (dict(label="Ā"), dict(label="A", name="😀"), dict(label="A", value="x\u0100")):
        with pytest.raises(ValueError, match="code page 936"):
            Chunk(**arguments)
    with pytest.raises(ValueError, match="code page 936"):
        corvane.load(tmp_path / "\u0100.xml")
    assert Chunk("图层", name="门窗", value="滨江").to_dict() == {
        "label": "图层", "name": "门窗", "type": "string", "value": "滨江"}


def make_tree():
    root = Chunk("FILE_CONVERT")
    layers = Chunk("Layers")
    root.append(layers)
    for name in ("0", "Walls", "门窗"):
        layers.append(Chunk("Layer", name=name))
    return root, layers


def test_a_chunk_is_a_sequence_of_its_children():
    root, layers = make_tree()
    assert len(layers) == 3
    assert [c.name for c in layers] == ["0", "Walls", "门窗"]
    assert layers[-1].name == "门窗" and layers[0].name == "0"
    assert [c.name for c in layers[1:]] == ["Walls", "门窗"]
    assert [c.name for c in layers[::-2]] == ["门窗", "0"]
    with pytest.raises(IndexError):
        layers[3]
    assert root[0][1] is layers[1]  # one Python object per chunk while it lives
    layers.insert(0, Chunk("Layer", name="first"))
    del layers[1]
    layers.remove(layers[-1])
    assert [c.name for c in layers] == ["first", "Walls"]
    with pytest.raises(ValueError):
        layers.remove(Chunk("Layer"))
    with pytest.raises(ValueError):
        layers[0].append(root)  # a tree never holds itself
    with pytest.raises(ValueError):
        layers.append(layers)


def test_children_are_found_by_label_and_name_ignoring_ascii_case():
    root, layers = make_tree()
    layers.append(Chunk("Layer", name="WALLS", value=2))
    assert root.child(label="layers") is layers
    assert layers.child(name="walls").type == ""  # the first match
    assert layers.child(label="LAYER", name="Walls").name == "Walls"
    assert layers.child(name="门窗").name == "门窗"
    assert layers.child(name="none") is None
    assert layers.child(label="Other", name="Walls") is None


def test_dicts_round_trip_and_refuse_what_the_tool_refuses():
    root, _ = make_tree()
    root[0][0].append(Chunk("Color", value=1))
    data = root.to_dict()
    assert data == {"label": "FILE_CONVERT", "children": [{"label": "Layers", "children": [
        {"label": "Layer", "name": "0", "children": [{"label": "Color", "type": "int", "value": "1"}]},
        {"label": "Layer", "name": "Walls"}, {"label": "Layer", "name": "门窗"}]}]}
    assert Chunk.from_dict(data).to_dict() == data
    # Read as the file reader reads type tags and values.
    assert Chunk.from_dict({"value": "1.5", "type": "DOUBLE", "label": "V"}).to_dict() == {
        "label": "V", "type": "double", "value": "1.500000"}
    refused = [
        ({"name": "x"}, 'needs a "label"'),
        ({"label": "a b"}, "not an XML name"),
        ({"label": "a", "value": "1"}, 'needs a "type"'),
        ({"label": "a", "type": "int", "value": "x"}, "make no chunk"),
        ({"label": "a", "colour": "red"}, "unknown key"),
        ({"label": "a", "name": "\x01"}, "control character"),
        ({"label": "a", "name": "\u0100"}, "code page 936"),
        ({"label": "a", "children": [{"label": "b", "children": [{"name": "c"}]}]},
         r'\["children"\]\[0\]\["children"\]\[0\]'),
    ]
    for data, message in refused:
        with pytest.raises(ValueError, match=message):
            Chunk.from_dict(data)
    deep = {"label": "a"}
    for _ in range(256):
        deep = {"label": "a", "children": [deep]}
    with pytest.raises(ValueError, match="256 levels"):
        Chunk.from_dict(deep)
