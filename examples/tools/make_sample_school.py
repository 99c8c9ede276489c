#!/usr/bin/env python3
"""Writes the sample school: a Séneca export of a made-up secondary school and the levels and
course numbers of its courses.

    python3 examples/tools/make_sample_school.py [output-folder]

The folder defaults to examples/seneca beside this script's folder. Every name and code is
invented. The output is the same on every run: codes come from a generator with a fixed seed.

The export has the shape of a real "Exportación hacia generadores de horarios": ISO-8859-1
bytes with their declaration and blank lines after it, SERVICIO with modulo/tipo/autor/fecha,
the data groups in their usual order with a `registros` count, one nested grupo_datos per
record with its own seq, every field present in every record (an empty value is an empty
element), a few values with leading blanks, and Latin-1 letters.
"""

import os
import random
import sys
from xml.sax.saxutils import escape, quoteattr

SEED = 2026
YEAR = ("2026", "15/09/2026", "22/06/2027")
EXPORT_DATE = "01/09/2026 09:41:27"
WORKDAY = "50412"

# X_OFERTAMATRIG, D_OFERTAMATRIG, level and course number for cursos.csv
OFFERS = [
    ("35011", "1º de E.S.O.", "ESO", "1"),
    ("35012", "2º de E.S.O.", "ESO", "2"),
    ("35013", "3º de E.S.O.", "ESO", "3"),
    ("35014", "4º de E.S.O.", "ESO", "4"),
    ("35021", "1º de Bachillerato (Ciencias y Tecnología)", "BCT", "1"),
    ("35022", "2º de Bachillerato (Ciencias y Tecnología)", "BCT", "2"),
    ("35031", "1º de Bachillerato (Humanidades y Ciencias Sociales)", "BHC", "1"),
    ("35032", "2º de Bachillerato (Humanidades y Ciencias Sociales)", "BHC", "2"),
    # Real exports give some studies with a leading blank.
    ("35041", " 1º de F.P. Básica (Informática y Comunicaciones)", "FPB", "1"),
    ("35042", " 2º de F.P. Básica (Informática y Comunicaciones)", "FPB", "2"),
]

# Subjects per offer: name and weekly hours. The same name recurs across offers, each time
# with its own identifier. Names marked # unknown are not in the subject catalogue.
SUBJECTS = {
    "35011": [
        ("Lengua Castellana y Literatura", 4), ("Matemáticas", 4), ("Geografía e Historia", 3),
        ("Biología y Geología", 3), ("Primera Lengua Extranjera (Inglés)", 4),
        ("Segunda Lengua Extranjera (Francés)", 2), ("Educación Física", 3), ("Música", 2),
        ("Religión", 1),
        ("Taller de Ajedrez Educativo", 1),  # unknown
    ],
    "35012": [
        ("Lengua Castellana y Literatura", 4), ("Matemáticas", 4), ("Geografía e Historia", 3),
        ("Física y Química", 3), ("Primera Lengua Extranjera (Inglés)", 3), ("Educación Física", 2),
        ("Educación Plástica, Visual y Audiovisual", 2), ("Tecnología y Digitalización", 2),
        ("Religión", 1), ("Atención Educativa", 1),
    ],
    "35013": [
        ("Lengua Castellana y Literatura", 4), ("Matemáticas", 4), ("Geografía e Historia", 3),
        ("Biología y Geología", 2), ("Física y Química", 2), ("Primera Lengua Extranjera (Inglés)", 4),
        ("Educación Física", 2), ("Tecnología y Digitalización", 2),
        ("Educación en Valores Cívicos y Éticos", 1), ("Religión", 1),
    ],
    "35014": [
        ("Lengua Castellana y Literatura", 3), ("Matemáticas B", 4), ("Geografía e Historia", 3),
        ("Primera Lengua Extranjera (Inglés)", 4), ("Educación Física", 2), ("Biología y Geología", 3),
        ("Física y Química", 3), ("Latín", 3), ("Digitalización", 3), ("Religión", 1),
        ("Proyecto de Radio Escolar", 2),  # unknown
    ],
    "35021": [
        ("Lengua Castellana y Literatura I", 3), ("Primera Lengua Extranjera I (Inglés)", 3),
        ("Filosofía", 3), ("Educación Física", 2), ("Matemáticas I", 4), ("Física y Química", 4),
        ("Biología, Geología y Ciencias Ambientales", 4), ("Dibujo Técnico I", 4), ("Religión", 1),
    ],
    "35022": [
        ("Lengua Castellana y Literatura II", 3), ("Primera Lengua Extranjera II (Inglés)", 3),
        ("Historia de España", 3), ("Historia de la Filosofía", 3), ("Matemáticas II", 4),
        ("Física", 4), ("Química", 4), ("Biología", 4),
    ],
    "35031": [
        ("Lengua Castellana y Literatura I", 3), ("Primera Lengua Extranjera I (Inglés)", 3),
        ("Filosofía", 3), ("Educación Física", 2), ("Matemáticas Aplicadas a las Ciencias Sociales I", 4),
        ("Latín I", 4), ("Historia del Mundo Contemporáneo", 4), ("Economía", 4), ("Religión", 1),
    ],
    "35032": [
        ("Lengua Castellana y Literatura II", 3), ("Primera Lengua Extranjera II (Inglés)", 3),
        ("Historia de España", 3), ("Historia de la Filosofía", 3),
        ("Matemáticas Aplicadas a las Ciencias Sociales II", 4), ("Latín II", 4), ("Geografía", 4),
        ("Historia del Arte", 4),
    ],
    "35041": [
        ("Comunicación y Sociedad I", 6), ("Ciencias Aplicadas I", 5),
        ("Montaje y Mantenimiento de Sistemas y Componentes Informáticos", 9),
        ("Operaciones Auxiliares para la Configuración y la Explotación", 5), ("Tutoría", 1),
        (" Huerto Escolar y Sostenibilidad", 1),  # unknown, with a leading blank
    ],
    "35042": [
        ("Comunicación y Sociedad II", 6), ("Ciencias Aplicadas II", 5),
        ("Equipos Eléctricos y Electrónicos", 7),
        ("Instalación y Mantenimiento de Redes para Transmisión de Datos", 8),
        ("Itinerario Personal para la Empleabilidad II", 2),
        ("Mantenimiento Básico de Drones Educativos", 2),  # unknown
    ],
}

# L_REGULAR, X_ACTIVIDAD, D_ACTIVIDAD, L_REQUNIDAD, L_REQMATERIA
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

ROOMS = [
    "Aula 1.01", "Aula 1.02", "Aula 2.01", "Laboratorio de Física y Química", "Laboratorio de Biología",
    "Aula de Informática", "Aula de Música", "Aula de Plástica", "Gimnasio", "Biblioteca",
    "Taller de Tecnología",
]

# T_HORCEN, start and end as hh:mm
SLOTS = [
    ("1ª hora", "08:15", "09:15"), ("2ª hora", "09:15", "10:15"), ("3ª hora", "10:15", "11:15"),
    ("Recreo", "11:15", "11:45"), ("4ª hora", "11:45", "12:45"), ("5ª hora", "12:45", "13:45"),
    ("6ª hora", "13:45", "14:45"), ("7ª hora", "16:00", "17:00"),
]

# T_NOMBRE and the offers the unit is taught in (one record per offer, same X_UNIDAD).
UNITS = [
    ("E1A", ["35011"]), ("E1B", ["35011"]), ("E1C", ["35011"]),
    ("E2A", ["35012"]), ("E2B", ["35012"]), ("E2C", ["35012"]),
    ("E3A", ["35013"]), ("E3B", ["35013"]), ("E3C", ["35013"]),
    ("E4A", ["35014"]), ("E4B", ["35014"]), ("E4C", ["35014"]),
    ("B1A", ["35021"]), ("B1B", ["35021", "35031"]), ("B1C", ["35031"]),
    ("B2A", ["35022"]), ("B2B", ["35032"]), ("B2C", ["35032"]),
    ("1FPB", ["35041"]), ("2FPB", ["35042"]),
]

PES = "Profesores de Enseñanza Secundaria"
# F_TOMAPOS, D_PUESTO, APELLIDO1, APELLIDO2, NOMBRE
STAFF = [
    ("01/09/2019", f"Matemáticas-{PES}", "Moreno", "Gil", "Ana"),
    ("01/09/2026", f"Matemáticas-{PES}", "Márquez", "García", "Antonio"),  # same initials as above
    ("01/09/2015", f"Lengua Castellana y Literatura-{PES}", "Romero", "Delgado", "Carmen"),
    ("01/09/2021", f"Lengua Castellana y Literatura-{PES}", "Navarro", "Ortega", "Francisco Javier"),
    ("01/09/2018", f"Geografía e Historia-{PES}", "de la Torre", "Castillo", "Lucía"),
    ("01/09/2024", f"Geografía e Historia-{PES}", "Díaz", "Castro", "Luis"),  # DCL against dCL
    ("01/09/2012", f"Inglés-{PES}", "Schneider", "", "Greta"),
    ("01/09/2023", f"Inglés-{PES}", "Ruiz", "Medina", " Pilar"),
    ("01/09/2020", f"Francés-{PES}", "Jiménez", "Vega", "Rocío"),
    ("01/09/2016", f"Biología y Geología-{PES}", "Álvarez", "Ruiz", "Óscar"),
    ("01/09/2025", f"Biología y Geología-{PES}", "Aranda", "Ruiz", "Olga"),
    ("01/09/2017", f"Física y Química-{PES}", "Cabrera", "Núñez", "Manuel"),
    ("14/10/2026", f"Física y Química-{PES}", "Sánchez", "Peña", "Inmaculada"),
    ("01/09/2014", f"Educación Física-{PES}", "Herrera", "Molina", "José Antonio"),
    ("01/09/2022", f"Educación Física-{PES}", "Vargas", "", "Elena"),
    ("01/09/2011", f"Música-{PES}", "Ibáñez", "Soto", "Begoña"),
    ("01/09/2019", f"Dibujo-{PES}", "Fuentes", "León", "Raúl"),
    ("01/09/2020", f"Tecnología-{PES}", "Guerrero", "Campos", "Álvaro"),
    ("01/09/2013", f"Filosofía-{PES}", "Ramos", "Prieto", "Marina"),
    ("01/09/2018", f"Latín-{PES}", "Benítez", "Lozano", "Adrián"),
    ("01/09/2021", f"Economía-{PES}", "Pastor", "Rey", "Noelia"),
    ("01/09/2010", f"Orientación Educativa-{PES}", "Calvo", "Muñoz", "Teresa"),
    ("01/09/2026", "Religión Católica (Educación Secundaria)", "Santos", "Iglesias", "Juan"),
    ("01/09/2017", "Sistemas y Aplicaciones Informáticas-Profesores Técnicos de Formación Profesional",
     "Peña", "Rubio", "Sergio"),
    ("01/09/2023", "Sistemas y Aplicaciones Informáticas-Profesores Técnicos de Formación Profesional",
     "O'Connor", "", "Patrick"),
    ("01/09/2022", "Instalaciones Electrotécnicas-Profesores Técnicos de Formación Profesional",
     "Domínguez", "Marín", "Rafael"),
    ("01/09/2016", "Ámbito Científico-Tecnológico-Profesores de Educación Secundaria (F.P. Básica)",
     "Gallego", "Santana", "Nuria"),
    ("01/09/2019", "Ámbito Sociolingüístico-Profesores de Educación Secundaria (F.P. Básica)",
     "Martín", "Crespo", "Irene"),
    ("01/09/2024", f"Matemáticas-{PES}", "Toledo", "Arias", "Cristina"),
    ("11/01/2027", f"Inglés-{PES}", "Núñez", "Cabello", "Daniel"),
]


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


def minutes(hhmm):
    hours, mins = hhmm.split(":")
    return str(int(hours) * 60 + int(mins))


def dato(name, value, indent):
    pad = "  " * indent
    if value == "":
        return f"{pad}<dato nombre_dato={quoteattr(name)}/>\n"
    return f"{pad}<dato nombre_dato={quoteattr(name)}>{escape(value)}</dato>\n"


def group(seq, record_seq, fields, rows):
    out = f'    <grupo_datos seq="{seq}" registros="{len(rows)}">\n'
    for n, row in enumerate(rows, start=1):
        out += f'      <grupo_datos seq="{record_seq}_{n}">\n'
        out += "".join(dato(f, v, 4) for f, v in zip(fields, row, strict=True))
        out += "      </grupo_datos>\n"
    return out + "    </grupo_datos>\n"


def build():
    codes = Codes(random.Random(SEED))
    groups = {}

    year_fields = ("C_ANNO", "F_INIHORREG", "F_FINHORREG")
    year = '    <grupo_datos seq="ANNO_ACADEMICO">\n'
    year += "".join(dato(f, v, 3) for f, v in zip(year_fields, YEAR))
    year += "    </grupo_datos>\n"

    groups["CURSOS_DEL_CENTRO"] = group(
        "CURSOS_DEL_CENTRO", "CURSO", ("X_OFERTAMATRIG", "D_OFERTAMATRIG"),
        [(key, name) for key, name, _, _ in OFFERS])

    subjects = [(offer, name, codes.new(6 if len(name) % 3 else 7), str(hours))
                for offer, _, _, _ in OFFERS for name, hours in SUBJECTS[offer]]
    groups["MATERIAS"] = group(
        "MATERIAS", "MATERIA", ("X_OFERTAMATRIG", "D_MATERIAC", "X_MATERIAOMG", "N_HORAS"), subjects)

    groups["ACTIVIDADES"] = group(
        "ACTIVIDADES", "ACTIVIDAD", ("L_REGULAR", "X_ACTIVIDAD", "D_ACTIVIDAD", "L_REQUNIDAD", "L_REQMATERIA"),
        ACTIVITIES)

    groups["DEPENDENCIAS"] = group(
        "DEPENDENCIAS", "DEPENDENCIA", ("X_DEPENDENCIA", "D_DEPENDENCIA"),
        [(codes.new(6), name) for name in ROOMS])

    groups["JORNADAS_ESCOLARES"] = group(
        "JORNADAS_ESCOLARES", "JORNADA_ESCOLAR", ("X_PLAJORESCCEN", "C_NOMBRE", "F_INIHORREG", "F_FINHORREG"),
        [(WORKDAY, "Jornada de mañana", YEAR[1], YEAR[2])])

    groups["TRAMOS_HORARIOS"] = group(
        "TRAMOS_HORARIOS", "TRAMO", ("X_TRAMO", "T_HORCEN", "N_INICIO", "N_FIN", "X_PLAJORESCCEN"),
        [(codes.new(6), text, minutes(start), minutes(end), WORKDAY) for text, start, end in SLOTS])

    units = []
    for name, offers in UNITS:
        code = codes.new(8)
        units += [(code, name, offer) for offer in offers]
    groups["UNIDADES"] = group("UNIDADES", "UNIDAD_CURSO", ("X_UNIDAD", "T_NOMBRE", "X_OFERTAMATRIG"), units)

    staff = [(codes.new(7),) + person for person in STAFF]
    groups["EMPLEADOS"] = group(
        "EMPLEADOS", "PROFESOR", ("X_EMPLEADO", "F_TOMAPOS", "D_PUESTO", "APELLIDO1", "APELLIDO2", "NOMBRE"), staff)

    order = ["CURSOS_DEL_CENTRO", "MATERIAS", "ACTIVIDADES", "DEPENDENCIAS", "JORNADAS_ESCOLARES",
             "TRAMOS_HORARIOS", "UNIDADES", "EMPLEADOS"]
    xml = '<?xml version="1.0" encoding="ISO-8859-1"?>\n\n\n'
    xml += f'<SERVICIO modulo="HORARIOS" tipo="E" autor="SENECA" fecha="{EXPORT_DATE}">\n'
    xml += "  <BLOQUE_DATOS>\n" + year + "".join(groups[g] for g in order) + "  </BLOQUE_DATOS>\n</SERVICIO>\n"
    return xml


def courses_csv():
    lines = ["CLAVE;NIVEL;CURSO"] + [f"{key};{level};{number}" for key, _, level, number in OFFERS]
    return "\n".join(lines) + "\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, os.pardir, "seneca")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "ExportacionHorarios_IES_Ejemplo.xml"), "wb") as f:
        f.write(build().encode("iso-8859-1"))
    with open(os.path.join(folder, "cursos.csv"), "wb") as f:
        f.write(courses_csv().encode("utf-8"))


if __name__ == "__main__":
    main()
