"""Spanlab from Python: static analysis of one continuous beam.

A model is the list of text lines the program reads and writes (the first one
``File Format:3.0``). Running it checks the lines and analyses the beam exactly
as the program and ``spanlab-cli`` do, in the same compiled engine::

    import spanlab

    model = spanlab.Model.load("examples/two-span-floor-beam.spn")
    results = model.run()
    print(results.extremes["max_moment"])      # (value, x)
    results.moment_left                        # numpy array, one value per node
    results.at([7.5, 15.0])                    # exact values between the nodes

Units. Every length, force and moment is in the model's display units, as the
reports show them: English models in feet, kips, kip ft and inches of
deflection; Metric models in m, kN, kN m and mm of deflection; Consistent
models in the units their lines use. Rotations are in radians.
``Results.units`` gives the labels. Only ``Results.to_dict()`` and
``Results.to_csv()`` give the results record of ``spanlab-cli results``, which
is in the engine's internal units (inch and kip, or m and kN).

Signs. x runs to the right; a load, a deflection and a vertical reaction are
positive in the same direction (a downward load is negative, and so is the
deflection it causes); rotation is clockwise positive; sagging moment is
positive; shear is the derivative of the moment along x.

Errors. ``Model.run()`` raises ``ModelError`` (a ``ValueError``) when the
checks find errors in the lines, and ``AnalysisError`` (a ``ModelError``) when
the analysis refuses the beam (unstable, values out of range). Bad arguments
raise ``TypeError`` or ``ValueError``, files that cannot be read ``OSError``.

The module runs models with the interpreter lock released: threads may run
different models at the same time. numpy is required; matplotlib only for
``plot``.
"""

import errno
import json
import os
import re

import numpy as np

from . import _core

__all__ = ["Model", "Results", "ModelError", "AnalysisError", "plot"]

_CODE = re.compile(r"^\s*(Error|Warning) ([A-Z]+[0-9]+)\b")


def _codes(log, kind):
    """The codes ("F3", "A2", "W1", ...) of the log's lines of `kind` ("Error" or "Warning")."""
    found = []
    for line in log.splitlines():
        match = _CODE.match(line)
        if match and match.group(1) == kind:
            found.append(match.group(2))
    return found


class ModelError(ValueError):
    """The checks found errors in the model's lines.

    ``str(error)`` is the run log, as the program's Results box shows it.
    Attributes: ``log`` (the same text) and ``codes``, the error codes of its
    lines in order (``["F11"]``, ``["D4", "D4"]``, ...).
    """

    def __init__(self, log, codes=()):
        super().__init__(log)
        self.log = log
        self.codes = list(codes)

    def __reduce__(self):  # pickles with its codes (to and from worker processes)
        return (type(self), (self.log, self.codes))


class AnalysisError(ModelError):
    """The analysis refused the beam or found its results unusable (errors A1 to A4).

    A1: a beam that cannot be divided into elements or does not fit in memory;
    A2: displacements larger than the beam
    (unstable); A3: some part of the beam can move freely (a mechanism); A4:
    results beyond the range of numbers. ``log`` and ``codes`` as for
    ``ModelError``; ``results`` holds the linear results where the analysis
    left them (A2, or an error of the live-load envelope alone), else None
    (and always None once pickled).
    """

    def __init__(self, log, codes=(), results=None):
        super().__init__(log, codes)
        self.results = results


def _path_bytes(path, what):
    """The file system bytes of a path argument (str, bytes or os.PathLike)."""
    try:
        name = os.fsencode(os.fspath(path))
    except TypeError:
        raise TypeError("%s takes a path (str, bytes or os.PathLike), not %s"
                        % (what, type(path).__name__)) from None
    if not name:
        raise ValueError("%s: the path is empty" % what)
    if b"\0" in name:
        raise ValueError("%s: the path holds a NUL character" % what)
    return name


def _read_only(columns):
    for values in columns.values():
        if isinstance(values, np.ndarray):
            values.flags.writeable = False
        elif isinstance(values, dict):
            _read_only(values)
    return columns


class Model:
    """One beam model: its lines, checked and analysed on demand.

    Make one with ``Model.from_lines(lines)`` or ``Model.load(path)``. A model
    does not change: ``run()`` analyses it the first time and returns the same
    results after that (``Model.from_lines(model.lines + [...])`` makes a
    changed copy). A model pickles as its lines (for worker processes).
    """

    def __init__(self, session):
        """Use ``Model.from_lines`` or ``Model.load``."""
        if not isinstance(session, _core.Session):
            raise TypeError("make a Model with Model.from_lines(lines) or Model.load(path)")
        self._session = session
        self._results = None
        self.notices = []

    @classmethod
    def from_lines(cls, lines):
        """A model of ``lines``: a list (or other sequence) of str, the format line first.

        Raises TypeError for anything else (a single str included) and
        ValueError for an empty list or one of more lines than a model may have.
        """
        if isinstance(lines, (str, bytes, bytearray)):
            raise TypeError("from_lines takes a list of lines, not one %s: split it with "
                            "text.splitlines()" % type(lines).__name__)
        if not isinstance(lines, (list, tuple)):
            try:
                lines = list(lines)
            except TypeError:
                raise TypeError("from_lines takes a list of str, not %s"
                                % type(lines).__name__) from None
        if len(lines) == 0:
            raise ValueError("from_lines: the list of lines is empty; a model starts with the "
                             "line 'File Format:3.0'")
        return cls(_core.Session.from_lines(lines))

    @classmethod
    def load(cls, path, *, truncate_long_lines=False):
        """The model in the file ``path``: a model file (``.spn``; an older-version file is
        converted) or a text file with one model line a line.

        ``truncate_long_lines`` answers Yes to the question an older-version file
        with lines over 80 characters asks (keep their first 80 characters);
        without it such a load fails. Notices the load gives (the conversion
        notice) are in the model's ``notices``.

        Raises FileNotFoundError, IsADirectoryError or OSError when the file
        cannot be read (a named pipe, a device or a file over 128 MiB is not
        read), ValueError when it holds no model (binary data, a damaged model
        file, too many lines).
        """
        name = _path_bytes(path, "Model.load")
        session, message, read_failed, notices = _core.load(name, bool(truncate_long_lines))
        if session is None:
            if not read_failed:
                raise ValueError(message)
            if not os.path.lexists(name):
                raise FileNotFoundError(errno.ENOENT, message)
            if os.path.isdir(name):
                raise IsADirectoryError(errno.EISDIR, message)
            raise OSError(message)
        model = cls(session)
        model.notices = list(notices)
        return model

    @property
    def lines(self):
        """The model lines, a new list of str each time."""
        return self._session.lines()

    def save(self, path):
        """Writes the model file (the program's ``.spn`` format) to ``path``.

        The previous file survives any failure (the bytes go to a temporary
        file that replaces it). Raises OSError with the reason on failure.
        """
        self._session.save(_path_bytes(path, "Model.save"))

    def check(self):
        """The format and data part of the run log: every error and warning the checks
        find, and the counts line (`` 0 Error(s),   0 Warning(s)``). Never raises
        for the model's own errors.

        The model runs as the program runs it at every change, so the analysis
        runs here too when the checks pass; ``run()`` then reuses it.
        """
        log = self._session.run()["log"]
        head, found, _ = log.partition("Running Analysis\n")
        return head if found else log

    def run(self):
        """Checks and analyses the model; returns its ``Results``.

        Raises ModelError (with the run log and the error codes) when the
        checks find errors, AnalysisError when the analysis or the live-load
        envelope reports an error. The interpreter lock is released while the
        model runs.
        """
        if self._results is not None:
            return self._results
        run = self._session.run()
        log = run["log"]
        if run["errors"] != 0:
            raise ModelError(log, _codes(log, "Error"))
        results = Results(self, run) if run["has_results"] else None
        if run["analysis_failed"]:
            raise AnalysisError(log, _codes(log, "Error"), results)
        if results is None:  # no beam at all: nothing the checks let through should get here
            raise AnalysisError(log, _codes(log, "Error"))
        self._results = results
        return results

    def envelope(self):
        """The live-load envelope over every pattern of loaded spans (the model needs a
        ``Live Load`` line), in display units, with the names of the
        ``spanlab-cli envelope`` record as dicts of numpy arrays:

        - ``spans``: ``start``, ``end`` (one value per span);
        - ``nodes``: ``x``, ``deflectionMax``, ``deflectionMin``, ``rotationMax``,
          ``rotationMin``, ``reactionVertMax``, ``reactionVertMin``,
          ``reactionRotMax``, ``reactionRotMin`` (NaN where no support or spring
          sits);
        - ``elements``: ``xEnd``, ``shearStartMax``, ``shearStartMin``,
          ``shearEndMax``, ``shearEndMin``, ``momentStartMax``, ...,
          ``momentEndMin`` (end forces as the nodes apply them: the diagram value
          at the element's right end is ``-shearEnd``, ``-momentEnd``);
        - ``extremes``: ``maxShear``, ``minShear``, ..., ``minDeflection``, each
          ``{"value", "x", "spansOnMax"}`` (0-based span numbers).

        Runs the model first (raising as ``run()``); ValueError without a Live
        Load line.
        """
        self.run()
        return _read_only(self._session.envelope())

    def influence(self, of, at):
        """The influence line of ``of`` at the node nearest ``at`` (display length unit):
        the value of that quantity as a unit downward load stands at each node.

        ``of`` is ``"deflection"``, ``"rotation"``, ``"shear"``, ``"moment"`` (shear and
        moment just right of the node), ``"reaction-vert"`` or ``"reaction-rot"``
        (``_`` may stand for ``-``). Returns ``{"of", "at" (the node's x),
        "points": {"x", "value"}}``, values in display units per unit force.
        Runs the model first; ValueError for an unknown quantity, a position
        off the beam or a reaction where nothing holds the node.
        """
        if not isinstance(of, str):
            raise TypeError("influence: 'of' is a quantity name (str), not %s"
                            % type(of).__name__)
        at = _position(at, "influence: 'at'")
        self.run()
        return _read_only(self._session.influence(of.replace("_", "-"), at))

    def __reduce__(self):  # pickled as its lines, so that worker processes can run it
        return (Model.from_lines, (self.lines,))

    def __repr__(self):
        lines = self._session.lines()
        return "<spanlab.Model of %d lines>" % len(lines)


def _position(value, what):
    """A position given as a real number (not a bool, a str or an array)."""
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, (int, float, np.integer,
                                                                     np.floating)):
        raise TypeError("%s is a number, not %s" % (what, type(value).__name__))
    return float(value)


class Results:
    """The results of a model's run, in display units (see the module's help).

    Arrays at the nodes (numpy, read-only, one value per node, nodes by
    ascending x): ``x``, ``deflection``, ``rotation``, ``shear_left`` and
    ``shear_right`` (just left and just right of each node; at the beam's ends
    both are the end's value), ``moment_left``, ``moment_right``, and
    ``moment`` (= ``moment_left``, as the details report shows it).

    Also: ``log`` (the run log, lines ended by ``\n``), ``warnings`` (the
    warning codes of the log),
    ``unit_system`` and ``units`` (labels), ``reactions``, ``extremes``,
    ``at(x)``, ``to_dict()`` and ``to_csv(path)``.
    """

    def __init__(self, model, run):
        self._model = model
        self._session = model._session
        self.log = run["log"]
        self.warnings = _codes(self.log, "Warning")
        nodes = _read_only(run["nodes"])
        self.x = nodes["x"]
        self.deflection = nodes["deflection"]
        self.rotation = nodes["rotation"]
        self.shear_left = nodes["shear_left"]
        self.shear_right = nodes["shear_right"]
        self.moment_left = nodes["moment_left"]
        self.moment_right = nodes["moment_right"]
        self.moment = self.moment_left
        self.unit_system, self.units = self._session.units()
        self._reactions = None
        self._extremes = None

    @property
    def reactions(self):
        """A numpy structured array, one row per node where a support or spring sits
        (ascending x), with the fields ``x``, ``force`` (the vertical reaction) and
        ``moment`` (the reaction moment); reactions act on the beam, in the load
        sign convention."""
        if self._reactions is None:
            columns = self._session.reactions()
            rows = np.empty(len(columns["x"]),
                            dtype=[("x", "f8"), ("force", "f8"), ("moment", "f8")])
            for name in ("x", "force", "moment"):
                rows[name] = columns[name]
            rows.flags.writeable = False
            self._reactions = rows
        return self._reactions

    @property
    def extremes(self):
        """A dict: ``min_shear``, ``max_shear``, ``min_moment``, ``max_moment``,
        ``min_rotation``, ``max_rotation``, ``min_deflection``, ``max_deflection``,
        each ``(value, x)``: the exact extreme along the whole beam, between the
        nodes too, and its position (the leftmost on ties)."""
        if self._extremes is None:
            self._extremes = self._session.extremes()
        return dict(self._extremes)

    def at(self, x):
        """The exact values at position(s) ``x`` (display length unit, 0 to the beam's
        length): a dict with ``deflection``, ``rotation``, ``shear`` and ``moment``.

        For a number the values are floats, for a sequence or array numpy arrays
        of its shape. At a node the values are those just left of it (at x = 0
        those at the beam's start). ValueError for NaN, infinity or a position
        off the beam; TypeError for anything but numbers.
        """
        scalar = isinstance(x, (int, float, np.integer, np.floating)) and not isinstance(
            x, (bool, np.bool_))
        try:
            positions = np.asarray(x, dtype=np.float64)
        except (TypeError, ValueError):
            raise TypeError("at() takes a number or an array of numbers, not %s"
                            % type(x).__name__) from None
        if not scalar and np.asarray(x).dtype.kind not in "iuf":
            raise TypeError("at() takes a number or an array of numbers, not an array of %s"
                            % np.asarray(x).dtype)
        values = self._session.values_at(np.ascontiguousarray(positions.ravel()))
        if scalar:
            return {name: float(v[0]) for name, v in values.items()}
        return {name: v.reshape(positions.shape) for name, v in values.items()}

    def to_dict(self):
        """The results record of ``spanlab-cli results`` as a dict (its JSON, parsed):
        ``nodes``, ``elements``, counts, ``length``, loads, ``extremes``,
        ``error``, ``messages``. Internal units (inch and kip, or m and kN), full
        precision; a value that is not finite is None."""
        return json.loads(self._session.results_json())

    def to_csv(self, path):
        """Writes the results record as ``spanlab-cli results --format csv`` does (node
        table, empty line, element table; internal units) to ``path``, replacing
        the file atomically. Raises OSError with the reason on failure."""
        self._session.save_csv(_path_bytes(path, "Results.to_csv"))

    def __repr__(self):
        return "<spanlab.Results: %d nodes, %s units>" % (len(self.x), self.unit_system)


_PLOTTED = ("deflection", "rotation", "shear", "moment")
_TITLES = {"deflection": "Deflection", "rotation": "Rotation", "shear": "Shear",
           "moment": "Moment"}


def _curve(results, quantity):
    """x and values of one diagram; shear and moment go through both values at every
    node, so that their jumps are vertical."""
    if quantity in ("shear", "moment"):
        left = getattr(results, quantity + "_left")
        right = getattr(results, quantity + "_right")
        return np.repeat(results.x, 2), np.column_stack((left, right)).ravel()
    return results.x, getattr(results, quantity)


def _label(results, name, quantity):
    unit = results.units.get(quantity, "")
    return "%s (%s)" % (name, unit) if unit else name


def plot(results, quantities=("moment",), ax=None):
    """Draws result diagrams with matplotlib and returns the axes.

    ``quantities``: one or more of ``"deflection"``, ``"rotation"``, ``"shear"``
    and ``"moment"``, plotted with the program's signs (sagging moment positive,
    upward; a downward deflection negative). Axes are labelled with the
    display units. ``ax``: a matplotlib Axes to draw all of them on, or a
    sequence of Axes, one per quantity; without it a new figure with one Axes
    per quantity is made (and matplotlib imported only then). Returns ``ax``
    as given, or the new Axes (one Axes, or a list of them for several
    quantities).
    """
    if not isinstance(results, Results):
        raise TypeError("plot takes the Results of Model.run(), not %s"
                        % type(results).__name__)
    if isinstance(quantities, str):
        quantities = (quantities,)
    quantities = tuple(quantities)
    unknown = [q for q in quantities if q not in _PLOTTED]
    if not quantities or unknown:
        raise ValueError("plot: quantities are one or more of %s, not %r"
                         % (", ".join(_PLOTTED), unknown or list(quantities)))
    if ax is None:
        import matplotlib.pyplot as plt
        _, grid = plt.subplots(len(quantities), 1, sharex=True, squeeze=False)
        axes = [row[0] for row in grid]
        made = axes[0] if len(axes) == 1 else axes
    elif isinstance(ax, (list, tuple)):
        if len(ax) != len(quantities):
            raise ValueError("plot: %d axes for %d quantities" % (len(ax), len(quantities)))
        axes, made = list(ax), ax
    else:
        axes, made = [ax] * len(quantities), ax
    shared = len(set(map(id, axes))) < len(axes)
    for axes_of, quantity in zip(axes, quantities):
        x, y = _curve(results, quantity)
        name = _TITLES[quantity]
        axes_of.plot(x, y, label=_label(results, name, quantity))
        axes_of.axhline(0.0, color="black", linewidth=0.8)
        if ax is not None or axes_of is axes[-1]:  # a new grid shares x: label it below
            axes_of.set_xlabel(_label(results, "x", "x"))
        if not shared:
            axes_of.set_ylabel(_label(results, name, quantity))
    if shared:
        for axes_of in {id(a): a for a in axes}.values():
            axes_of.legend()
    return made
