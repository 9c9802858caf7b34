"""The stubs shipped for the native modules name everything those modules define, with the real signatures."""
import ast
import importlib
import inspect
import pathlib

import pytest

NATIVE = [
    "vantu.material.select.pickcore",
    "vantu.material.entrybox._select",
    "vantu.material.entrybox.entrybox",
    "vantu.deferpane",
]


def stub_of(module):
    path = pathlib.Path(module.__file__)
    stub = path.parent / (module.__name__.rsplit(".", 1)[-1] + ".pyi")
    if not stub.exists():  # an editable install keeps the stubs beside the sources
        spec_path = pathlib.Path(__file__).parents[2] / "src" / pathlib.Path(*module.__name__.split("."))
        stub = spec_path.with_suffix(".pyi")
    assert stub.exists(), f"no stub for {module.__name__}"
    return ast.parse(stub.read_text())


def stub_members(tree):
    classes, functions = {}, {}
    for node in tree.body:
        if isinstance(node, ast.ClassDef):
            names = {}
            for item in node.body:
                if isinstance(item, (ast.FunctionDef, ast.AsyncFunctionDef)):
                    names[item.name] = item
                elif isinstance(item, ast.AnnAssign) and isinstance(item.target, ast.Name):
                    names[item.target.id] = item
                elif isinstance(item, ast.Assign):
                    for target in item.targets:
                        if isinstance(target, ast.Name):
                            names[target.id] = item
            classes[node.name] = names
        elif isinstance(node, ast.FunctionDef):
            functions[node.name] = node
    return classes, functions


def defined_here(module):
    for name, value in vars(module).items():
        if name.startswith("_"):
            continue
        if getattr(value, "__module__", None) == module.__name__ and (inspect.isclass(value) or inspect.isfunction(value)):
            yield name, value


QT_ADDED = {"staticMetaObject"}  # put on every class by the Qt metaclass


def public(name):
    return name == "__init__" or (not name.startswith("_") and name not in QT_ADDED)


@pytest.mark.parametrize("name", NATIVE)
def test_stub_names_every_public_member(name):
    module = importlib.import_module(name)
    classes, functions = stub_members(stub_of(module))
    for member, value in defined_here(module):
        if inspect.isclass(value):
            assert member in classes, f"{name}: class {member} missing from the stub"
            for attr in vars(value):
                if public(attr):
                    assert attr in classes[member], f"{name}: {member}.{attr} missing from the stub"
        else:
            assert member in functions, f"{name}: function {member} missing from the stub"


@pytest.mark.parametrize("name", NATIVE)
def test_stub_signatures_match_the_generated_functions(name):
    module = importlib.import_module(name)
    classes, functions = stub_members(stub_of(module))
    for member, value in defined_here(module):
        pairs = []
        if inspect.isclass(value):
            for attr, fn in vars(value).items():
                fn = getattr(fn, "__func__", fn)
                stub = classes[member].get(attr)
                if inspect.isfunction(fn) and isinstance(stub, ast.FunctionDef):
                    pairs.append((f"{member}.{attr}", fn, stub))
        elif member in functions:
            pairs.append((member, value, functions[member]))
        for label, fn, stub in pairs:
            real = [p.name for p in inspect.signature(fn).parameters.values()]
            args = stub.args
            written = [a.arg for a in args.posonlyargs + args.args]
            written += [args.vararg.arg] if args.vararg else []
            written += [a.arg for a in args.kwonlyargs]
            written += [args.kwarg.arg] if args.kwarg else []
            assert written == real, f"{name}: {label} stub {written} != real {real}"


@pytest.mark.parametrize("name", NATIVE)
def test_help_shows_docstrings_and_signatures(name):
    module = importlib.import_module(name)
    for member, value in defined_here(module):
        assert inspect.getdoc(value), f"{member} has no docstring"
        if inspect.isclass(value):
            for attr, fn in vars(value).items():
                fn = getattr(fn, "__func__", fn)
                if inspect.isfunction(fn):
                    assert fn.__doc__, f"{member}.{attr} has no docstring"
                    inspect.signature(fn)
