#!/usr/bin/env python3
"""Writes src/receive/weak/TextPriorTable.h: a character trigram model of
amateur CW traffic for the weak decoder's character search.

The training text is drawn here, from a fixed seed, out of hand-written
material: contact phrases, the common abbreviations and Q codes, plain
English, call signs of the usual shapes (prefix, digit, random suffix),
reports, serial numbers and other numbers. Call-sign suffixes and numbers
are random, so the model learns their shapes and not any one of them.

Symbols: 0 word boundary, 1..26 A-Z, 27..36 0-9, then / ? . , =.
The table holds -log P(next | two before) for every pair of symbols before
(the boundary standing for the start of a word), quantised to QUANTUM nats
and written one character per entry (a digit of DIGITS64).

Usage: scripts/gen-text-prior.py [output header]
"""
import math
import random
import sys
from collections import Counter
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
ALPHABET = " ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/?.,="
V = len(ALPHABET)
QUANTUM = 0.25
# One character a level, nothing a string literal would need escaped.
DIGITS64 = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+-"
LEVELS = len(DIGITS64)
CORPUS_CHARACTERS = 600_000

LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
DIGITS = "0123456789"

# Prefixes heard on the bands, roughly as often as one meets them.
PREFIXES = (
    "W K N AA AB AC AD AE AF AG AI AJ AK KA KB KC KD KE KF KG KI KJ KK KN KO KQ "
    "W W K K N NA NB ND NF NG NJ NK NO NQ NR NS NT NX WA WB WD WF WJ WK WN WO WQ WX "
    "VE VA VE VY VO JA JA JH JR JE JF JG JI JJ JK JL JM JN JO JP JQ JS 7K 7L 7M 7N 8J "
    "DL DL DK DJ DF DG DH DM DO DB DC DD DA G G M M 2E GW GM GI MW MM EI F F ON OO PA PA PD PE "
    "OZ SM SM SA LA OH OH SP SP SQ SN OK OK OL OM HA HG YO YO LZ UA UA RA RA RK RN RU RV RW RX "
    "R UR UT UX US YL LY ES 9A S5 S5 I I IK IK IZ IZ IW EA EA EB EC ED CT CT HB9 HB9 OE OE 4X SV "
    "TA ZS PY PY PU LU LU CE CX XE HK YV BY BA BG BH BD BV HL HL DS VU 9M YB DU HS VK VK ZL "
    "KH6 KL7 KP4 VP2 J3 V5 EA8 CT3 ZF YB OA HC TI TG 5B SV9 YU Z3 E7 4O EW ER UN EX EY 4L"
).split()
PORTABLE = ["/P", "/M", "/QRP", "/MM", "/AM", "/1", "/2", "/3", "/4", "/7", "/9"]

NAMES = (
    "JOHN BOB BILL JIM TOM MIKE DAVE DON RON ED AL JOE FRANK PETE PAUL GEORGE JACK "
    "DICK RICK RAY ART FRED HANS PETER KLAUS JAN KARL WERNER UWE JEAN PIERRE MARC LUC "
    "ANDY STEVE GARY LARRY KEN KEITH ALAN IAN NEIL TONY CHRIS MARK DAN SAM BEN TED "
    "YURI IGOR SERGEY OLEG VLAD IVAN ALEX MARIO LUIGI PAOLO JOSE LUIS CARLOS ANTONIO "
    "TARO HIRO KEN YUKI AKI OLE LARS SVEN ERIK NILS JUHA PEKKA JAN TOMAS PIOTR LASZLO "
    "ANN MARY SUE JANE LISA KAREN BETTY NANCY HELEN ANNA MARIA EVA"
).split()

PLACES = (
    "BOSTON DALLAS DENVER CHICAGO SEATTLE PORTLAND AUSTIN OHIO TEXAS MAINE IOWA IDAHO "
    "OREGON FLORIDA GEORGIA VIRGINIA KANSAS UTAH NEVADA ARIZONA MONTANA VERMONT ALASKA "
    "TORONTO OTTAWA QUEBEC TOKYO OSAKA KYOTO NAGOYA BERLIN MUNICH HAMBURG BONN PARIS LYON "
    "LONDON LEEDS YORK BRISTOL DUBLIN MADRID ROME MILAN OSLO BERGEN STOCKHOLM HELSINKI "
    "WARSAW PRAGUE VIENNA ZURICH GENEVA MOSCOW KIEV RIGA SOFIA ATHENS LISBON SYDNEY PERTH "
    "AUCKLAND NEAR CITY TOWN VILLAGE COAST LAKE HILLS VALLEY FARM COUNTRY"
).split()

RIGS = (
    "IC7300 IC7610 IC705 IC718 IC756 IC9700 FT991 FT891 FT817 FT818 FTDX10 FTDX101 FT710 FT1000 "
    "K3 K4 KX2 KX3 K2 TS590 TS890 TS480 TS2000 TS930 TS520 TS850 QCX QRPLABS HOMEBREW HB "
    "ELECRAFT ICOM YAESU KENWOOD FLEX TEN TEC OMNI ARGONAUT HW8 SDR"
).split()

ANTENNAS = (
    "DIPOLE DIPOLE VERTICAL YAGI YAGI BEAM LOOP GP WINDOM EFHW ENDFED INV V INV L "
    "LONG WIRE WIRE HEXBEAM QUAD DELTA LOOP MAGLOOP G5RV ZEPP DOUBLET TRAP DIPOLE "
    "3 ELE YAGI 2 ELE 4 ELE 5 ELE LOG PERIODIC HF2V HF6V ATU TUNER"
).split()

WEATHER = (
    "SUNNY CLOUDY RAIN RAINY SNOW SNOWING FOG FOGGY WINDY WARM HOT COLD COOL FINE FB NICE "
    "CLEAR OVERCAST STORM THUNDER DRY WET HUMID"
).split()

ABBREVIATIONS = (
    "CQ CQ DE DE K KN BK SK AR AS BT R RR TU TNX TKS TNX FER FOR UR UR RST RST 599 5NN 579 "
    "559 449 339 ES ES HR HR NAME NAME OP QTH QTH RIG ANT PWR WX WX TEMP ABT HW HW CPY CPI "
    "OK FB GM GA GE GN GL GL GD DR OM OM YL XYL 73 73 88 CUL CU CU AGN PSE PSE QSL QSL "
    "QRZ QRZ QRL QRM QRN QRO QRP QRQ QRS QRT QRU QRV QRX QSB QSO QSY QTH QRG QSK QST "
    "NR NW SRI WID WIT WKD WRK YRS AGE RPT INFO VY VY HPE HP ALL BCNU BURO EQSL LOTW DX TEST "
    "TIME OLD MAN BEST HAM LIC LICENSED SINCE RETIRED WORK JOB WATTS W UP DN LID NIL "
    "SIG SIGS STRONG WEAK LOUD SOLID FINE COPY SOLID GUD GUDLUK MNI MNY TKS FINE BIZ"
).split()

COMMON_WORDS = (
    "THE THE THE THE AND AND AND TO TO TO OF OF A A A IN IN IS IS IS IT IT YOU YOU THAT "
    "WAS FOR FOR ON ON ARE WITH WITH AS I I I MY MY BE AT AT HAVE HAVE THIS THIS FROM "
    "OR ONE HAD BY WORD BUT NOT NOT WHAT ALL WERE WE WE WHEN YOUR YOUR CAN CAN SAID "
    "THERE USE AN EACH WHICH SHE DO HOW THEIR IF WILL WILL UP OTHER ABOUT OUT MANY THEN "
    "THEM THESE SO SO SOME HER WOULD MAKE LIKE HIM INTO TIME HAS LOOK TWO MORE WRITE GO "
    "SEE NUMBER NO WAY COULD PEOPLE THAN FIRST WATER BEEN CALL WHO NOW FIND LONG DOWN "
    "DAY DID GET COME MADE MAY PART OVER NEW SOUND TAKE ONLY LITTLE WORK KNOW PLACE YEAR "
    "LIVE ME BACK GIVE MOST VERY AFTER THING OUR JUST NAME GOOD SENTENCE MAN THINK SAY "
    "GREAT WHERE HELP THROUGH MUCH BEFORE LINE RIGHT TOO MEAN OLD ANY SAME TELL BOY "
    "FOLLOW CAME WANT SHOW ALSO AROUND FORM THREE SMALL SET PUT END DOES ANOTHER WELL "
    "LARGE MUST BIG EVEN SUCH BECAUSE TURN HERE WHY ASK WENT MEN READ NEED LAND DIFFERENT "
    "HOME US MOVE TRY KIND HAND PICTURE AGAIN CHANGE OFF PLAY SPELL AIR AWAY ANIMAL HOUSE "
    "POINT PAGE LETTER MOTHER ANSWER FOUND STUDY STILL LEARN SHOULD WORLD HIGH EVERY NEAR "
    "ADD FOOD BETWEEN OWN BELOW COUNTRY PLANT LAST SCHOOL FATHER KEEP TREE NEVER START "
    "EARTH EYE LIGHT THOUGHT HEAD UNDER STORY SAW LEFT FEW WHILE ALONG MIGHT CLOSE "
    "SOMETHING SEEM NEXT HARD OPEN EXAMPLE BEGIN LIFE ALWAYS THOSE BOTH PAPER TOGETHER GOT "
    "GROUP OFTEN RUN IMPORTANT UNTIL CHILDREN SIDE FEET CAR MILE NIGHT WALK WHITE SEA "
    "BEGAN GROW TOOK RIVER FOUR CARRY STATE ONCE BOOK HEAR STOP WITHOUT SECOND LATER MISS "
    "IDEA ENOUGH EAT FACE WATCH FAR REALLY ALMOST LET ABOVE GIRL SOMETIMES MOUNTAIN CUT "
    "YOUNG TALK SOON LIST SONG BEING LEAVE FAMILY TODAY TOMORROW WEEK WEEKEND MORNING "
    "EVENING AFTERNOON RADIO STATION SIGNAL BAND BANDS CONDITIONS PROPAGATION ANTENNA "
    "TOWER FEET METERS MILES GARDEN WIFE SON DAUGHTER DOG CAT TRIP VACATION HOLIDAY SUMMER "
    "WINTER SPRING FALL RAIN SUN SNOW WIND HOT COLD NICE PLEASURE MEET MEETING AGAIN SOON "
    "THANKS THANK ENJOY ENJOYED HOPE LOOKING FORWARD CONTACT QUICK SHORT GOING QRT NOW "
    "EATING DINNER LUNCH BREAKFAST COFFEE TEA BUSY WORKING RETIRED ENGINEER TEACHER DOCTOR"
).split()

SENTENCES = """
THANKS FOR THE CALL
TNX FER THE NICE QSO
GOOD TO MEET YOU
NICE TO MEET YOU ON THE AIR
HOPE TO CU AGAIN SOON
BAND IS OPEN TO EUROPE TODAY
CONDX ARE POOR HERE TODAY
CONDITIONS ARE GOOD ON THIS BAND
THE BAND IS NOISY TONIGHT
I AM RUNNING LOW POWER
I HAVE BEEN A HAM FOR MANY YEARS
FIRST LICENSED IN THE SIXTIES
THE WX HERE IS FINE
THE WEATHER IS COLD AND WINDY
IT IS RAINING HERE
GOING QRT FOR DINNER
MUST GO NOW
PSE QSL VIA BURO
QSL VIA LOTW
WILL QSL DIRECT
YOUR SIGNAL IS VERY WEAK
YOU ARE SOLID COPY
HAD SOME QSB ON YOUR SIGNAL
QRM IS BAD HERE
PSE QRS
PSE AGN UR NAME
SRI MISSED THAT
WHAT IS YOUR QTH
MY ANTENNA IS A DIPOLE UP ABOUT TEN METERS
THE RIG IS HOMEBREW
I AM RETIRED NOW
I WORK AS AN ENGINEER
ENJOY THE REST OF THE DAY
HAVE A NICE WEEKEND
BEST WISHES TO YOU AND YOUR FAMILY
GOOD LUCK IN THE CONTEST
THANKS FOR THE REPORT
I AM USING A STRAIGHT KEY
USING A BUG TODAY
MY KEY IS A PADDLE
THE SUN IS SHINING
WE HAD SNOW LAST NIGHT
SEE YOU FURTHER DOWN THE LOG
""".strip().splitlines()


def call_sign(rng):
    prefix = rng.choice(PREFIXES)
    if not prefix[-1].isdigit():
        prefix += rng.choice(DIGITS)
    suffix = "".join(rng.choice(LETTERS) for _ in range(rng.choice((1, 2, 2, 3, 3, 3))))
    call = prefix + suffix
    if rng.random() < 0.06:
        call += rng.choice(PORTABLE)
    elif rng.random() < 0.03:
        call = rng.choice(PREFIXES).rstrip(DIGITS) + rng.choice(DIGITS) + "/" + call
    return call


def number(rng):
    shape = rng.random()
    if shape < 0.4:
        return str(rng.randint(1, 99))
    if shape < 0.7:
        return str(rng.randint(100, 999))
    if shape < 0.85:
        return "%03d" % rng.randint(1, 999)
    return str(rng.randint(1000, 2030))


def report(rng):
    return rng.choice(("599", "599", "5NN", "579", "589", "569", "559", "549", "449", "339",
                       "479", "459", "57N", "ENN", "55N", "44N"))


def power(rng):
    return rng.choice(("5", "10", "20", "50", "100", "100", "200", "400", "500", "1", "2", "3")) + \
        rng.choice(("W", "W", "W", " W", " WATTS"))


def filler(rng):
    """One phrase of a contact, a sentence, or a run of plain English."""
    call, other = call_sign(rng), call_sign(rng)
    name, place = rng.choice(NAMES), rng.choice(PLACES)
    pick = rng.random()
    phrases = [
        f"CQ CQ CQ DE {call} {call} K",
        f"CQ DE {call} {call} {call} PSE K",
        f"{other} DE {call} K",
        f"{other} DE {call} GM OM TNX FER CALL UR RST {report(rng)} {report(rng)} BK",
        f"R R {other} DE {call} GE DR OM TNX FER RPRT UR RST IS {report(rng)} HR",
        f"UR RST {report(rng)} {report(rng)} NAME HR IS {name} {name} QTH {place} {place} HW CPY",
        f"NAME IS {name} ES QTH IS {place} BK",
        f"OP {name} QTH NR {place}",
        f"RIG HR IS {rng.choice(RIGS)} PWR {power(rng)} ANT {rng.choice(ANTENNAS)}",
        f"RIG {rng.choice(RIGS)} ES ANT IS {rng.choice(ANTENNAS)} UP {rng.randint(5, 30)} M",
        f"WX HR {rng.choice(WEATHER)} ES {rng.choice(WEATHER)} TEMP {rng.randint(0, 35)} C",
        f"WX IS {rng.choice(WEATHER)} TEMP ABT {rng.randint(20, 99)} F",
        f"AGE {rng.randint(16, 90)} HAM SINCE {rng.randint(1950, 2024)}",
        f"TNX FER NICE QSO {name} HPE CUL 73 {other} DE {call} SK",
        f"FB {name} TNX FER QSO 73 ES GL {other} DE {call} TU EE",
        f"QSL VIA BURO 73 GL SK {other} DE {call}",
        f"{call} 5NN {number(rng)}",
        f"TU {report(rng)} {number(rng)} {call}",
        f"CQ TEST {call} {call}",
        f"QRZ {call}",
        f"{other} TU {report(rng)} {rng.randint(1, 40)}",
        f"R TU {number(rng)} NR {number(rng)}",
        f"QRL? QRL?",
        f"PSE QRS QRS QRM",
        f"{other} DE {call} = TNX FER CALL = {name} = {report(rng)} = {place} = HW? AR",
        f"QSY {rng.randint(1, 50)} UP",
        f"UP {rng.randint(1, 9)} QRZ {call}",
        f"FREQ {rng.randint(3500, 28100)} KHZ",
        f"{rng.choice(('160', '80', '40', '30', '20', '17', '15', '12', '10', '6'))} M BAND",
        f"MY POWER IS {power(rng)}",
    ]
    if pick < 0.55:
        return rng.choice(phrases)
    if pick < 0.7:
        return rng.choice(SENTENCES)
    if pick < 0.85:
        return " ".join(rng.choice(COMMON_WORDS) for _ in range(rng.randint(3, 9)))
    return " ".join(rng.choice(ABBREVIATIONS) for _ in range(rng.randint(3, 8)))


def corpus(rng):
    pieces, size = [], 0
    while size < CORPUS_CHARACTERS:
        text = filler(rng)
        pieces.append(text)
        size += len(text) + 1
    return " ".join(pieces)


def trigram_model(text):
    """P(c | a, b), interpolated Witten-Bell down to a uniform floor."""
    words = text.split()
    tri, bi, uni = Counter(), Counter(), Counter()
    for word in words:
        symbols = [0, 0] + [ALPHABET.index(ch) for ch in word] + [0]
        for i in range(2, len(symbols)):
            a, b, c = symbols[i - 2], symbols[i - 1], symbols[i]
            tri[(a, b, c)] += 1
            bi[(b, c)] += 1
            uni[c] += 1
    total = sum(uni.values())
    p1 = [(uni[c] + 1) / (total + V) for c in range(V)]

    def witten_bell(counts, context_total, types, lower):
        if context_total == 0:
            return lower
        weight = context_total / (context_total + types)
        return [weight * counts[c] / context_total + (1 - weight) * lower[c] for c in range(V)]

    p2 = []
    for b in range(V):
        counts = [bi[(b, c)] for c in range(V)]
        p2.append(witten_bell(counts, sum(counts), sum(1 for x in counts if x), p1))
    p3 = []
    for a in range(V):
        for b in range(V):
            counts = [tri[(a, b, c)] for c in range(V)]
            p3.append(witten_bell(counts, sum(counts), sum(1 for x in counts if x), p2[b]))
    # Cross-entropy per symbol on the training text, for the search's offset.
    entropy = -sum(n * math.log(p3[a * V + b][c]) for (a, b, c), n in tri.items()) / total
    return p3, entropy


def encode(p3):
    cells = []
    for row in p3:
        for p in row:
            level = min(LEVELS - 1, int(round(-math.log(p) / QUANTUM)))
            cells.append(DIGITS64[level])
    return "".join(cells)


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "src/receive/weak/TextPriorTable.h"
    rng = random.Random(20260512)
    p3, entropy = trigram_model(corpus(rng))
    cells = encode(p3)
    lines = [cells[i:i + 90] for i in range(0, len(cells), 90)]
    body = "\n".join(f'    "{line}"' for line in lines)
    out.write_text(f"""// Generated by scripts/gen-text-prior.py -- do not edit.
// Character trigram model of amateur CW traffic: entry (a * {V} + b) * {V} + c
// is -log P(c | a, b) in steps of {QUANTUM} nats, written as the digit of
// kTextPriorDigits that counts them.
// Symbols: 0 word boundary, then "{ALPHABET[1:]}".
#pragma once

#include <string_view>

namespace morvane::receive::weak {{

inline constexpr std::string_view kTextPriorAlphabet = "{ALPHABET}";
inline constexpr double kTextPriorQuantumNats = {QUANTUM};
inline constexpr std::string_view kTextPriorDigits =
    "{DIGITS64}";
// Cross-entropy of the model on its training text, nats per symbol.
inline constexpr double kTextPriorEntropyNats = {entropy:.3f};
inline constexpr std::string_view kTextPriorCosts =
{body};

}}  // namespace morvane::receive::weak
""")
    print(f"{out}: {len(cells)} entries, {entropy:.3f} nats per symbol")


if __name__ == "__main__":
    main()
