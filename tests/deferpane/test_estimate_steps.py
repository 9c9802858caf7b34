"""estimate_steps counts one step per child of every container reached through containers."""
import pytest
from hypothesis import given, settings
from hypothesis import strategies as st
from PySide6.QtWidgets import QLabel

from vantu.deferpane import estimate_steps
from vantu.material.box import Box
from vantu.material.collapse import Collapse
from vantu.material.component import Component
from vantu.material.container import Container
from vantu.material.grid import Grid
from vantu.material.masonry import Masonry
from vantu.material.paper import Paper
from vantu.material.scroll_bar import Scrollbar
from vantu.material.section import Section
from vantu.material.stack import Stack
from vantu.material.tab import Tab
from vantu.material.table_view_cell import TableViewCell
from vantu.material.tabs import Tabs
from vantu.material.typography import Typography
from vantu.material.view import View



def leaves(n):
    return [Typography(text=f"leaf {i}") for i in range(n)]

ALL = [Container, Scrollbar, Box, Stack, Masonry, Grid, Section, Paper, Tabs, Tab, Collapse, View, TableViewCell]


class PlainComponent(Component):
    def __init__(self, children=None):
        self._children = children or []


class TestCounting:
    def test_leaves_and_non_containers_count_nothing(self):
        assert estimate_steps(Typography(text="x")) == 0
        assert estimate_steps(None) == 0
        assert estimate_steps(QLabel("not a component")) == 0
        # Holding children does not make a container: only the known classes count.
        assert estimate_steps(PlainComponent(leaves(4))) == 0

    def test_empty_container_counts_nothing(self):
        assert estimate_steps(Stack()) == 0
        assert estimate_steps(Stack(children=[])) == 0

    def test_three_leaves_count_three(self):
        assert estimate_steps(Stack(children=leaves(3))) == 3

    def test_nested_container_adds_its_own_children(self):
        assert estimate_steps(Box(children=[Typography(text="a"), Paper(children=leaves(3))])) == 2 + 3

    def test_non_container_child_hides_what_it_holds(self):
        assert estimate_steps(Stack(children=[PlainComponent(leaves(5)), Typography()])) == 2

    @pytest.mark.parametrize("cls", ALL, ids=lambda c: c.__name__)
    def test_every_container_class_counts(self, cls):
        assert estimate_steps(cls(children=leaves(2))) == 2
        assert estimate_steps(Stack(children=[cls(children=leaves(4))])) == 1 + 4

    def test_subclasses_count_too(self):
        class Fancy(Paper):
            pass

        assert estimate_steps(Stack(children=[Fancy(children=leaves(3)), Fancy()])) == 2 + 3

    def test_tuples_and_other_sized_iterables_are_measured(self):
        node = Stack()
        node._children = (Typography(), Box(children=leaves(2)))
        assert estimate_steps(node) == 4

        class Bag:
            def __init__(self, items):
                self.items = items

            def __len__(self):
                return len(self.items)

            def __iter__(self):
                return iter(self.items)

        node._children = Bag([Box(children=leaves(3)), Typography()])
        assert estimate_steps(node) == 5


class TestFaults:
    def test_container_without_children_attribute_raises_attribute_error(self):
        node = Stack(children=leaves(1))
        del node._children
        with pytest.raises(AttributeError, match="_children"):
            estimate_steps(node)
        with pytest.raises(AttributeError):
            estimate_steps(Box(children=[node]))

    def test_unmeasurable_children_raise_type_error(self):
        node = Stack()
        node._children = iter(leaves(2))  # true, iterable, but has no len()
        with pytest.raises(TypeError, match="len"):
            estimate_steps(node)
        node._children = 5
        with pytest.raises(TypeError):
            estimate_steps(node)

    def test_falsy_children_count_nothing_whatever_they_are(self):
        node = Stack()
        node._children = 0
        assert estimate_steps(node) == 0

    def test_a_cycle_raises_recursion_error_instead_of_hanging(self):
        a, b = Stack(), Box()
        a._children = [b]
        b._children = [a]
        with pytest.raises(RecursionError):
            estimate_steps(a)

    def test_errors_from_a_children_property_pass_through_unchanged(self):
        class Broken(Stack):
            @property
            def _children(self):
                raise KeyError("boom")

            @_children.setter
            def _children(self, value):
                pass

        with pytest.raises(KeyError, match="boom"):
            estimate_steps(Stack(children=[Broken()]))

    def test_isinstance_is_asked_for_objects_faking_their_class(self):
        class Proxy:
            __class__ = Stack  # isinstance(Proxy(), Stack) is True

            def __init__(self):
                self._children = leaves(3)

        assert isinstance(Proxy(), Stack)
        assert estimate_steps(Stack(children=[])) == 0
        root = Stack()
        root._children = [Proxy(), Proxy()]
        assert estimate_steps(root) == 2 + 3 + 3


def python_estimate(node):
    if not isinstance(node, tuple(ALL)):
        return 0
    children = node._children
    if not children:
        return 0
    return len(children) + sum(python_estimate(c) for c in children if isinstance(c, tuple(ALL)))


trees = st.recursive(
    st.builds(lambda: Typography()),
    lambda inner: st.builds(lambda cls, kids: cls(children=kids), st.sampled_from(ALL), st.lists(inner, max_size=5)),
    max_leaves=40,
)


@settings(max_examples=60, deadline=None)
@given(trees)
def test_matches_the_plain_walk_on_any_tree(tree):
    assert estimate_steps(tree) == python_estimate(tree)
