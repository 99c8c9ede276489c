#!/usr/bin/env python3
"""Writes a synthetic school for the benchmark: a Séneca export shaped like a real one and the
levels and course numbers of its courses.

    python3 bench/make_school.py SCALE FOLDER

At scale 1 the school is a large real-size one: 150 teachers, 20 courses with 3 units each
(60 units), 30 subjects per course (600 subject-offer records), 40 rooms, 10 activities and 12
slots a day. SCALE multiplies teachers, courses (so units and subject records) and rooms; the
day keeps its 12 slots. Names and codes are made up; the output is the same on every run.

FOLDER receives Escuela_xSCALE.xml (ISO-8859-1) and cursos_xSCALE.csv. The solved timetable is
made after the import, from the tables it wrote: make-soluc synth WORKDIR 25.
"""

import os
import random
import sys
from xml.sax.saxutils import escape, quoteattr

SEED = 4242
YEAR = ("2026", "15/09/2026", "22/06/2027")
WORKDAY = "50412"

BASE_TEACHERS = 150
BASE_COURSES = 20
UNITS_PER_COURSE = 3
SUBJECTS_PER_COURSE = 30
BASE_ROOMS = 40
SLOTS_PER_DAY = 12

SUBJECT_NAMES = [
    "Lengua Castellana y Literatura", "Matemáticas", "Geografía e Historia", "Biología y Geología",
    "Física y Química", "Primera Lengua Extranjera (Inglés)", "Segunda Lengua Extranjera (Francés)",
    "Educación Física", "Música", "Religión", "Atención Educativa", "Tecnología y Digitalización",
    "Educación Plástica, Visual y Audiovisual", "Latín", "Griego", "Filosofía", "Economía",
    "Historia de España", "Historia del Arte", "Dibujo Técnico", "Química", "Física", "Biología",
    "Geografía", "Psicología", "Tecnología e Ingeniería", "Cultura Clásica", "Digitalización",
    "Educación en Valores Cívicos y Éticos", "Proyecto Interdisciplinar", "Taller de Lectura",
    "Comunicación y Sociedad", "Ciencias Aplicadas", "Empresa e Iniciativa Emprendedora",
    "Oratoria y Debate", "Computación y Robótica", "Artes Escénicas y Danza", "Ciencias Generales",
]
QUALIFIERS = ["", " I", " II", " Aplicada", " (Ampliación)", " y Laboratorio"]

ACTIVITIES = [
    ("S", "1", "Docencia", "S", "S"),
    ("S", "3", "Guardia", "N", "N"),
    ("S", "5", "Guardia de recreo", "N", "N"),
    ("S", "18", "Reunión de departamento", "N", "N"),
    ("S", "21", "Reunión de equipo educativo", "N", "N"),
    ("S", "33", "Tutoría de atención personalizada al alumnado y a su familia", "S", "N"),
    ("S", "46", "Horario de dedicación a funciones de coordinación", "N", "N"),
    ("S", "52", "Servicio de biblioteca", "N", "N"),
    ("S", "64", "Actividades de refuerzo y recuperación", "S", "N"),
    ("N", "71", "Asistencia a sesiones de evaluación", "N", "N"),
]

FIRST_NAMES = ["Ana", "Antonio", "Carmen", "Francisco Javier", "Lucía", "Luis", "Greta", "Pilar", "Rocío",
               "Óscar", "Olga", "Manuel", "Inmaculada", "José Antonio", "Elena", "Begoña", "Raúl",
               "Álvaro", "Marina", "Adrián", "Noelia", "Teresa", "Juan", "Sergio", "Patrick", "Rafael",
               "Nuria", "Irene", "Cristina", "Daniel", "María José", "Pedro", "Isabel", "Jorge"]
SURNAMES = ["Moreno", "Gil", "Márquez", "García", "Romero", "Delgado", "Navarro", "Ortega", "de la Torre",
            "Castillo", "Díaz", "Castro", "Schneider", "Ruiz", "Medina", "Jiménez", "Vega", "Álvarez",
            "Aranda", "Cabrera", "Núñez", "Sánchez", "Peña", "Herrera", "Molina", "Vargas", "Ibáñez",
            "Soto", "Fuentes", "León", "Guerrero", "Campos", "Ramos", "Prieto", "Benítez", "Lozano",
            "Pastor", "Rey", "Calvo", "Muñoz", "Santos", "Iglesias", "Rubio", "O'Connor", "Domínguez",
            "Marín", "Gallego", "Santana", "Martín", "Crespo", "Toledo", "Arias", "Cabello", ""]
DEPARTMENTS = ["Matemáticas", "Lengua Castellana y Literatura", "Geografía e Historia", "Inglés",
               "Francés", "Biología y Geología", "Física y Química", "Educación Física", "Música",
               "Dibujo", "Tecnología", "Filosofía", "Latín", "Economía", "Orientación Educativa"]


class Codes:
    """Unique digit codes of a given length from a seeded generator."""

    def __init__(self, rng):
        self.rng = rng
        self.used = set()

    def new(self, digits):
        while True:
            code = str(self.rng.randrange(10 ** (digits - 1), 10 ** digits))
            if code not in self.used:
                self.used.add(code)
                return code


def dato(name, value):
    if value == "":
        return f"        <dato nombre_dato={quoteattr(name)}/>\n"
    return f"        <dato nombre_dato={quoteattr(name)}>{escape(value)}</dato>\n"


def group(seq, record_seq, fields, rows):
    parts = [f'    <grupo_datos seq="{seq}" registros="{len(rows)}">\n']
    for n, row in enumerate(rows, start=1):
        parts.append(f'      <grupo_datos seq="{record_seq}_{n}">\n')
        parts.extend(dato(f, v) for f, v in zip(fields, row, strict=True))
        parts.append("      </grupo_datos>\n")
    parts.append("    </grupo_datos>\n")
    return "".join(parts)


def level_of(index):
    """A level abbreviation of at most 4 characters, unique per four courses, and a course number."""
    digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    n = index // 4
    return "N" + digits[n // 1296 % 36] + digits[n // 36 % 36] + digits[n % 36], str(index % 4 + 1)


def build(scale):
    rng = random.Random(SEED)
    codes = Codes(random.Random(SEED + 1))
    courses = []
    for i in range(BASE_COURSES * scale):
        level, number = level_of(i)
        courses.append((codes.new(5 if i < 80000 else 6), f"{number}º de Estudios {level}", level, number))

    year = '    <grupo_datos seq="ANNO_ACADEMICO">\n'
    year += "".join(dato(f, v) for f, v in zip(("C_ANNO", "F_INIHORREG", "F_FINHORREG"), YEAR))
    year += "    </grupo_datos>\n"

    subjects = []
    for offer, _, _, _ in courses:
        names = rng.sample([n + q for n in SUBJECT_NAMES for q in QUALIFIERS], SUBJECTS_PER_COURSE)
        subjects += [(offer, name, codes.new(7), str(rng.randint(1, 5))) for name in names]

    slots = []
    start = 8 * 60
    for s in range(SLOTS_PER_DAY):
        slots.append((codes.new(6), f"{s + 1}ª hora", str(start), str(start + 55), WORKDAY))
        start += 60

    units = []
    for offer, _, level, number in courses:
        for letter in "ABC"[:UNITS_PER_COURSE]:
            units.append((codes.new(8), f"{level}{number}{letter}", offer))

    staff = []
    for t in range(BASE_TEACHERS * scale):
        staff.append((codes.new(7), f"01/09/{2005 + t % 21}", f"{rng.choice(DEPARTMENTS)}-Profesores",
                      rng.choice(SURNAMES[:-1]), rng.choice(SURNAMES), rng.choice(FIRST_NAMES)))

    parts = ['<?xml version="1.0" encoding="ISO-8859-1"?>\n\n',
             '<SERVICIO modulo="HORARIOS" tipo="E" autor="SENECA" fecha="01/09/2026 09:41:27">\n',
             "  <BLOQUE_DATOS>\n", year,
             group("CURSOS_DEL_CENTRO", "CURSO", ("X_OFERTAMATRIG", "D_OFERTAMATRIG"),
                   [(c[0], c[1]) for c in courses]),
             group("MATERIAS", "MATERIA", ("X_OFERTAMATRIG", "D_MATERIAC", "X_MATERIAOMG", "N_HORAS"), subjects),
             group("ACTIVIDADES", "ACTIVIDAD",
                   ("L_REGULAR", "X_ACTIVIDAD", "D_ACTIVIDAD", "L_REQUNIDAD", "L_REQMATERIA"), ACTIVITIES),
             group("DEPENDENCIAS", "DEPENDENCIA", ("X_DEPENDENCIA", "D_DEPENDENCIA"),
                   [(codes.new(6), f"Aula {r // 20 + 1}.{r % 20 + 1:02d}") for r in range(BASE_ROOMS * scale)]),
             group("JORNADAS_ESCOLARES", "JORNADA_ESCOLAR",
                   ("X_PLAJORESCCEN", "C_NOMBRE", "F_INIHORREG", "F_FINHORREG"),
                   [(WORKDAY, "Jornada de mañana", YEAR[1], YEAR[2])]),
             group("TRAMOS_HORARIOS", "TRAMO", ("X_TRAMO", "T_HORCEN", "N_INICIO", "N_FIN", "X_PLAJORESCCEN"), slots),
             group("UNIDADES", "UNIDAD_CURSO", ("X_UNIDAD", "T_NOMBRE", "X_OFERTAMATRIG"), units),
             group("EMPLEADOS", "PROFESOR",
                   ("X_EMPLEADO", "F_TOMAPOS", "D_PUESTO", "APELLIDO1", "APELLIDO2", "NOMBRE"), staff),
             "  </BLOQUE_DATOS>\n</SERVICIO>\n"]
    csv = "CLAVE;NIVEL;CURSO\n" + "".join(f"{c[0]};{c[2]};{c[3]}\n" for c in courses)
    return "".join(parts), csv


def main():
    if len(sys.argv) != 3 or not sys.argv[1].isdigit() or int(sys.argv[1]) < 1:
        sys.exit(__doc__)
    scale, folder = int(sys.argv[1]), sys.argv[2]
    os.makedirs(folder, exist_ok=True)
    xml, csv = build(scale)
    with open(os.path.join(folder, f"Escuela_x{scale}.xml"), "wb") as f:
        f.write(xml.encode("iso-8859-1"))
    with open(os.path.join(folder, f"cursos_x{scale}.csv"), "wb") as f:
        f.write(csv.encode("utf-8"))


if __name__ == "__main__":
    main()
