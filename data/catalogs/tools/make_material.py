#!/usr/bin/env python3
"""Writes material.xml, the standard material database, from the design codes' tables.

Concrete: EN 1992-1-1 Table 3.1 (EC2, and with C100/115 of the German annex), DIN 1045-1:2008 Table 9,
SIA 262:2003 Table 3 (with Ecm = 10000 * fcm^(1/3) and tau_cd = 0.3 sqrt(fck) / gamma_c), DIN 1045:1988
Tables 11 and 12 (beta_r, E). Reinforcing steel: EN 1992-1-1 Annex C, DIN 1045-1 Table 11, SIA 262 Table 9,
DIN 1045:1988 Table 6. Partial factors: EN 1992-1-1 Table 2.1N and its German annex, DIN 1045-1 Table 2,
SIA 262 2.3.2. Strains in per mille, compression negative. Strengths and moduli in N/mm².

Run:  python3 make_material.py > ../material.xml
"""
import math
from xml.sax.saxutils import quoteattr

N_MM2, PM, ONE, KN_M3, PER_K = "N/mm²", "‰", "-", "kN/m³", "1/K"

# name: (description, unit)
CONCRETE_KEYS = {
    "fck": ("charakteristische Zylinderdruckfestigkeit", N_MM2),
    "fck_cube": ("charakteristische Würfeldruckfestigkeit", N_MM2),
    "fcm": ("Mittelwert der Zylinderdruckfestigkeit", N_MM2),
    "fctm": ("Mittelwert der zentrischen Zugfestigkeit", N_MM2),
    "fctk_005": ("5%-Quantil der Zugfestigkeit", N_MM2),
    "fctk_095": ("95%-Quantil der Zugfestigkeit", N_MM2),
    "Ecm": ("Elastizitätsmodul (Sekantenmodul)", N_MM2),
    "Ec0m": ("Elastizitätsmodul (Tangentenmodul)", N_MM2),
    "G": ("Schubmodul", N_MM2),
    "epsilon_c1": ("Dehnung bei Höchstspannung (nichtlinear)", PM),
    "epsilon_c1u": ("Bruchdehnung (nichtlinear)", PM),
    "epsilon_c2": ("Dehnung bei Höchstspannung (Parabel-Rechteck)", PM),
    "epsilon_c2u": ("Bruchdehnung (Parabel-Rechteck)", PM),
    "n": ("Exponent der Parabel", ONE),
    "tau_cm": ("Schubspannungsgrenze ohne Teilsicherheit 0,3·fck^0,5", N_MM2),
    "tau_cd": ("Bemessungswert der Schubspannungsgrenze", N_MM2),
    "fbd": ("Bemessungswert der Verbundspannung (gute Verbundbedingungen)", N_MM2),
    "phi": ("Endkriechzahl (Innenbauteil, Belastung nach 28 Tagen)", ONE),
    "gamma_cg": ("Teilsicherheitsbeiwert ständig/vorübergehend", ONE),
    "gamma_ca": ("Teilsicherheitsbeiwert außergewöhnlich", ONE),
    "gamma_cgu": ("Teilsicherheitsbeiwert unbewehrt ständig/vorübergehend", ONE),
    "gamma_cau": ("Teilsicherheitsbeiwert unbewehrt außergewöhnlich", ONE),
    "gamma_cgf": ("Teilsicherheitsbeiwert Fertigteil ständig/vorübergehend", ONE),
    "gamma_caf": ("Teilsicherheitsbeiwert Fertigteil außergewöhnlich", ONE),
    "gamma": ("Wichte Stahlbeton", KN_M3),
    "gamma_u": ("Wichte unbewehrter Beton", KN_M3),
    "mue": ("Querdehnzahl", ONE),
    "alpha_t": ("Wärmedehnzahl", PER_K),
}

# EN 1992-1-1 Table 3.1 (fck, fck_cube, fctm, fctk_005, fctk_095, Ecm GPa, eps_c1, eps_cu1, eps_c2, eps_cu2, n);
# C100/115 as the German annex adds it.
EC2_TABLE = [
    (12, 15, 1.6, 1.1, 2.0, 27, 1.8, 3.5, 2.0, 3.5, 2.0),
    (16, 20, 1.9, 1.3, 2.5, 29, 1.9, 3.5, 2.0, 3.5, 2.0),
    (20, 25, 2.2, 1.5, 2.9, 30, 2.0, 3.5, 2.0, 3.5, 2.0),
    (25, 30, 2.6, 1.8, 3.3, 31, 2.1, 3.5, 2.0, 3.5, 2.0),
    (30, 37, 2.9, 2.0, 3.8, 33, 2.2, 3.5, 2.0, 3.5, 2.0),
    (35, 45, 3.2, 2.2, 4.2, 34, 2.25, 3.5, 2.0, 3.5, 2.0),
    (40, 50, 3.5, 2.5, 4.6, 35, 2.3, 3.5, 2.0, 3.5, 2.0),
    (45, 55, 3.8, 2.7, 4.9, 36, 2.4, 3.5, 2.0, 3.5, 2.0),
    (50, 60, 4.1, 2.9, 5.3, 37, 2.45, 3.5, 2.0, 3.5, 2.0),
    (55, 67, 4.2, 3.0, 5.5, 38, 2.5, 3.2, 2.2, 3.1, 1.75),
    (60, 75, 4.4, 3.1, 5.7, 39, 2.6, 3.0, 2.3, 2.9, 1.6),
    (70, 85, 4.6, 3.2, 6.0, 41, 2.7, 2.8, 2.4, 2.7, 1.45),
    (80, 95, 4.8, 3.4, 6.3, 42, 2.8, 2.8, 2.5, 2.6, 1.4),
    (90, 105, 5.0, 3.5, 6.6, 44, 2.8, 2.8, 2.6, 2.6, 1.4),
]
EC2_DE_EXTRA = [(100, 115, 5.2, 3.7, 6.8, 45, 2.8, 2.8, 2.6, 2.6, 1.4)]

# DIN 1045-1 Table 9 (fck, fck_cube, fctm, fctk_005, fctk_095, Ec0m, Ecm, eps_c1, eps_c1u, n, eps_c2, eps_c2u).
DIN1045_1_TABLE = [
    (12, 15, 1.6, 1.1, 2.0, 25800, 21800, 1.8, 3.5, 2.0, 2.0, 3.5),
    (16, 20, 1.9, 1.3, 2.5, 27400, 23400, 1.9, 3.5, 2.0, 2.0, 3.5),
    (20, 25, 2.2, 1.5, 2.9, 28800, 24900, 2.1, 3.5, 2.0, 2.0, 3.5),
    (25, 30, 2.6, 1.8, 3.3, 30500, 26700, 2.2, 3.5, 2.0, 2.0, 3.5),
    (30, 37, 2.9, 2.0, 3.8, 31900, 28300, 2.3, 3.5, 2.0, 2.0, 3.5),
    (35, 45, 3.2, 2.2, 4.2, 33300, 29900, 2.4, 3.5, 2.0, 2.0, 3.5),
    (40, 50, 3.5, 2.5, 4.6, 34500, 31400, 2.5, 3.5, 2.0, 2.0, 3.5),
    (45, 55, 3.8, 2.7, 4.9, 35700, 32800, 2.55, 3.5, 2.0, 2.0, 3.5),
    (50, 60, 4.1, 2.9, 5.3, 36800, 34300, 2.6, 3.5, 2.0, 2.0, 3.5),
    (55, 67, 4.2, 3.0, 5.5, 37800, 35700, 2.65, 3.4, 2.0, 2.03, 3.1),
    (60, 75, 4.4, 3.1, 5.7, 38800, 37000, 2.7, 3.3, 1.9, 2.06, 2.7),
    (70, 85, 4.6, 3.2, 6.0, 40600, 39700, 2.8, 3.2, 1.8, 2.1, 2.5),
    (80, 95, 4.8, 3.4, 6.3, 42300, 42300, 2.9, 3.1, 1.7, 2.14, 2.4),
    (90, 105, 5.0, 3.5, 6.6, 43800, 43800, 2.95, 3.0, 1.6, 2.17, 2.3),
    (100, 115, 5.2, 3.7, 6.8, 45200, 45200, 3.0, 3.0, 1.55, 2.2, 2.2),
]

# DIN 1045:1988: (name, beta_WN, beta_R, E_b).
DIN1045_TABLE = [
    ("B 10", 10, 7.0, 22000), ("B 15", 15, 10.5, 26000), ("B 25", 25, 17.5, 30000),
    ("B 35", 35, 23.0, 34000), ("B 45", 45, 27.0, 37000), ("B 55", 55, 30.0, 39000),
]

# Partial factors (fundamental, accidental, plain fundamental, plain accidental, precast fundamental,
# precast accidental).
GAMMA_C = {
    "DIN 1045-1": (1.5, 1.3, 1.8, 1.55, 1.35, 1.3),
    "EC2": (1.5, 1.2, 1.5, 1.2, 1.35, 1.2),
    "EC2 NA (DE)": (1.5, 1.3, 1.5, 1.3, 1.35, 1.3),
    "SIA 262:2003": (1.5, 1.2, 1.5, 1.2, 1.5, 1.2),
}


def r(x, digits):
    return round(x + 0.0, digits)


def fmt(x):
    if isinstance(x, str):
        return x
    text = f"{x:.6g}"
    return text


def fbd(fctk005, gamma_c):
    # 2.25 * fctd with fctk,0.05 limited to its C60/75 value.
    return r(2.25 * min(fctk005, 3.1) / gamma_c, 2)


def creep(fck):
    # Final creep coefficient of an indoor member (RH 50 %, h0 = 300 mm, loaded at 28 days, class N cement),
    # by EN 1992-1-1 Annex B; one decimal.
    fcm = fck + 8
    a1, a2 = (35 / fcm) ** 0.7, (35 / fcm) ** 0.2
    rh, h0 = 50, 300
    if fcm <= 35:
        phi_rh = 1 + (1 - rh / 100) / (0.1 * h0 ** (1 / 3))
    else:
        phi_rh = (1 + (1 - rh / 100) / (0.1 * h0 ** (1 / 3)) * a1) * a2
    beta_fcm = 16.8 / math.sqrt(fcm)
    beta_t0 = 1 / (0.1 + 28 ** 0.2)
    return r(phi_rh * beta_fcm * beta_t0, 1)


def concrete_common(fck, gammas):
    gcg, gca, gcgu, gcau, gcgf, gcaf = gammas
    return {
        "gamma_cg": gcg, "gamma_ca": gca, "gamma_cgu": gcgu, "gamma_cau": gcau,
        "gamma_cgf": gcgf, "gamma_caf": gcaf,
        "tau_cm": r(0.3 * math.sqrt(fck), 2),
        "phi": creep(fck), "gamma": 25.0, "gamma_u": 24.0, "mue": 0.2, "alpha_t": 1e-5,
    }


def ec2_grades(norm, rows):
    out = []
    for fck, cube, fctm, f005, f095, ecm, ec1, ecu1, ec2, ecu2, n in rows:
        ecm = ecm * 1000
        ec0m = r(1.05 * ecm, -2)  # Ec = 1.05 Ecm (EN 1992-1-1 3.1.4(2))
        values = {
            "fck": fck, "fck_cube": cube, "fcm": fck + 8, "fctm": fctm, "fctk_005": f005, "fctk_095": f095,
            "Ecm": ecm, "Ec0m": ec0m, "G": r(ecm / 2.4, -1),
            "epsilon_c1": -ec1, "epsilon_c1u": -ecu1, "epsilon_c2": -ec2, "epsilon_c2u": -ecu2, "n": n,
            "fbd": fbd(f005, GAMMA_C[norm][0]),
        }
        values.update(concrete_common(fck, GAMMA_C[norm]))
        out.append((f"C{fck}/{cube}", values))
    return out


def din1045_1_grades():
    out = []
    for fck, cube, fctm, f005, f095, ec0m, ecm, ec1, ecu1, n, ec2, ecu2 in DIN1045_1_TABLE:
        values = {
            "fck": fck, "fck_cube": cube, "fcm": fck + 8, "fctm": fctm, "fctk_005": f005, "fctk_095": f095,
            "Ecm": ecm, "Ec0m": ec0m, "G": r(ecm / 2.4, -1),
            "epsilon_c1": -ec1, "epsilon_c1u": -ecu1, "epsilon_c2": -ec2, "epsilon_c2u": -ecu2, "n": n,
            "fbd": fbd(f005, 1.5),
        }
        values.update(concrete_common(fck, GAMMA_C["DIN 1045-1"]))
        out.append((f"C{fck}/{cube}", values))
    return out


def sia_grades():
    out = []
    for fck, cube, fctm, f005, f095, *_ in EC2_TABLE[:9]:
        ecm = r(10000 * (fck + 8) ** (1 / 3), -2)
        values = {
            "fck": fck, "fck_cube": cube, "fcm": fck + 8, "fctm": fctm, "fctk_005": f005, "fctk_095": f095,
            "Ecm": ecm, "Ec0m": ecm, "G": r(ecm / 2.4, -1),
            "epsilon_c1": -2.0, "epsilon_c1u": -3.0, "epsilon_c2": -2.0, "epsilon_c2u": -3.0, "n": 2.0,
            "fbd": r(1.4 * fctm / 1.5, 2),  # SIA 262 (101): 1.4 fctm / gamma_c
        }
        values.update(concrete_common(fck, GAMMA_C["SIA 262:2003"]))
        values["tau_cd"] = r(0.3 * math.sqrt(fck) / 1.5, 1)
        out.append((f"C{fck}/{cube}", values))
    return out


DIN1045_KEYS = {
    "beta_wn": ("Nennfestigkeit", N_MM2),
    "beta_r": ("Rechenwert der Betondruckfestigkeit", N_MM2),
    "E": ("Elastizitätsmodul", N_MM2),
    "epsilon_d": ("Dehnung bei Höchstspannung", PM),
    "epsilon_u": ("Bruchdehnung", PM),
    "G": ("Schubmodul", N_MM2),
    "gamma": ("Wichte Stahlbeton", KN_M3),
    "gamma_u": ("Wichte unbewehrter Beton", KN_M3),
    "mue": ("Querdehnzahl", ONE),
    "alpha_t": ("Wärmedehnzahl", PER_K),
}


def din1045_grades():
    out = []
    for name, bwn, br, e in DIN1045_TABLE:
        out.append((name, {
            "beta_wn": bwn, "beta_r": br, "E": e, "epsilon_d": -2.0, "epsilon_u": -3.5, "G": r(e / 2.4, -1),
            "gamma": 25.0, "gamma_u": 24.0, "mue": 0.2, "alpha_t": 1e-5,
        }))
    return out


STEEL_KEYS = {
    "fyk": ("charakteristische Streckgrenze", N_MM2),
    "ftk": ("charakteristische Zugfestigkeit", N_MM2),
    "E": ("Elastizitätsmodul", N_MM2),
    "duk": ("Dehnung unter Höchstlast", PM),
    "epsilon_yd": ("Bemessungswert der Fließdehnung", PM),
    "epsilon_szul": ("Grenzdehnung", PM),
    "gamma_sg": ("Teilsicherheitsbeiwert ständig/vorübergehend", ONE),
    "gamma_sa": ("Teilsicherheitsbeiwert außergewöhnlich", ONE),
    "gamma": ("Wichte", KN_M3),
    "alpha_t": ("Wärmedehnzahl", PER_K),
}


def steel(fyk, k, euk, e, eud, extra=None):
    values = {
        "fyk": fyk, "ftk": r(k * fyk, 0), "E": e, "duk": euk, "epsilon_yd": 0.0,
        "epsilon_szul": eud, "gamma_sg": 1.15, "gamma_sa": 1.0, "gamma": 78.5, "alpha_t": 1e-5,
    }
    values.update(extra or {})
    values["epsilon_yd"] = r(fyk / values["gamma_sg"] / e * 1000, 2)
    return values


def steels(norm):
    if norm == "DIN 1045":
        ext = {"gamma_sg": 1.0, "gamma_sa": 1.0}
        return [
            ("BSt 420 S", steel(420, 500 / 420, 100, 210000, 5.0, {"beta_s": 420, **ext})),
            ("BSt 500 S", steel(500, 550 / 500, 100, 210000, 5.0, {"beta_s": 500, **ext})),
            ("BSt 500 M", steel(500, 550 / 500, 80, 210000, 5.0, {"beta_s": 500, **ext})),
        ]
    if norm == "DIN 1045-1":
        return [
            ("BSt 500 SA", steel(500, 1.05, 25, 200000, 25.0)),
            ("BSt 500 SB", steel(500, 1.08, 50, 200000, 25.0)),
            ("BSt 500 MA", steel(500, 1.05, 25, 200000, 25.0)),
            ("BSt 500 MB", steel(500, 1.08, 50, 200000, 25.0)),
        ]
    if norm == "EC2":
        return [
            ("B500A", steel(500, 1.05, 25, 200000, 22.5)),
            ("B500B", steel(500, 1.08, 50, 200000, 45.0)),
            ("B500C", steel(500, 1.15, 75, 200000, 67.5)),
        ]
    if norm == "EC2 NA (DE)":
        return [
            ("B500A", steel(500, 1.05, 25, 200000, 25.0)),
            ("B500B", steel(500, 1.08, 50, 200000, 25.0)),
        ]
    if norm == "SIA 262:2003":
        return [
            ("B500A", steel(500, 1.05, 25, 205000, 22.5)),
            ("B500B", steel(500, 1.08, 50, 205000, 45.0)),
            ("B500C", steel(500, 1.15, 75, 205000, 67.5)),
        ]
    raise ValueError(norm)


STEEL_KEYS_DIN1045 = dict(STEEL_KEYS, beta_s=("Streckgrenze", N_MM2), duk=("Bruchdehnung A10", PM))


def emit_object(lines, indent, name, prio, values, keys):
    lines.append(f"{indent}<Objekt Name={quoteattr(name)} Prioritaet=\"{prio}\">")
    for key, value in values.items():
        desc, unit = keys[key]
        lines.append(f"{indent}  <Eigenschaft Name={quoteattr(desc)} Kurzname={quoteattr(key)} "
                     f"Wert01={quoteattr(fmt(value))} Formel=\"\" Einheit={quoteattr(unit)}/>")
    lines.append(f"{indent}</Objekt>")


def main():
    concrete = [
        ("DIN 1045", din1045_grades(), DIN1045_KEYS),
        ("DIN 1045-1", din1045_1_grades(), CONCRETE_KEYS),
        ("EC2", ec2_grades("EC2", EC2_TABLE), CONCRETE_KEYS),
        ("EC2 NA (DE)", ec2_grades("EC2 NA (DE)", EC2_TABLE + EC2_DE_EXTRA), CONCRETE_KEYS),
        ("SIA 262:2003", sia_grades(), CONCRETE_KEYS),
    ]
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             "<!-- Standard material database. Generated by tools/make_material.py; see README.md. -->",
             "<Materialdatenbank>",
             '  <Kategorie Name="Beton" Prioritaet="0">',
             '    <Unterkategorie Name="Normalbeton" Prioritaet="0">']
    for prio, (norm, grades, keys) in enumerate(concrete):
        lines.append(f"      <Norm Name={quoteattr(norm)} Prioritaet=\"{prio}\">")
        for gprio, (name, values) in enumerate(grades):
            emit_object(lines, "        ", name, gprio, values, keys)
        lines.append("      </Norm>")
    lines += ["    </Unterkategorie>", "  </Kategorie>",
              '  <Kategorie Name="Stahl" Prioritaet="1">',
              '    <Unterkategorie Name="Betonstahl" Prioritaet="0">']
    for prio, (norm, _, _) in enumerate(concrete):
        keys = STEEL_KEYS_DIN1045 if norm == "DIN 1045" else STEEL_KEYS
        lines.append(f"      <Norm Name={quoteattr(norm)} Prioritaet=\"{prio}\">")
        for gprio, (name, values) in enumerate(steels(norm)):
            emit_object(lines, "        ", name, gprio, values, keys)
        lines.append("      </Norm>")
    lines += ["    </Unterkategorie>", "  </Kategorie>", "</Materialdatenbank>"]
    print("\n".join(lines))


if __name__ == "__main__":
    main()
