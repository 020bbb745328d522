#!/usr/bin/python3
"""Writes the Aegis vault fixtures of the backup tests with an implementation independent of
ours (the `cryptography` package). Run it here: ./make_aegis_vaults.py. The output is committed,
so the tests never need Python; each run makes new keys, nonces and uuids."""
import base64
import json
import os
import uuid

from cryptography.hazmat.primitives.ciphers.aead import AESGCM
from cryptography.hazmat.primitives.kdf.scrypt import Scrypt


def seal(key, plain):
    nonce = os.urandom(12)
    sealed = AESGCM(key).encrypt(nonce, plain, None)
    return sealed[:-16], {"nonce": nonce.hex(), "tag": sealed[-16:].hex()}


def password_slot(master, password, n, extra=None):
    salt = os.urandom(32)
    derived = Scrypt(salt=salt, length=32, n=n, r=8, p=1).derive(password.encode())
    key, params = seal(derived, master)
    slot = {"type": 1, "uuid": str(uuid.uuid4()), "key": key.hex(), "key_params": params,
            "n": n, "r": 8, "p": 1, "salt": salt.hex()}
    slot.update(extra or {})
    return slot


def raw_slot(master, type_):
    key, params = seal(os.urandom(32), master)
    return {"type": type_, "uuid": str(uuid.uuid4()), "key": key.hex(), "key_params": params}


def entry(type_, name, issuer, info, **extra):
    e = {"type": type_, "uuid": str(uuid.uuid4()), "name": name, "issuer": issuer, "note": "",
         "favorite": False, "icon": None, "icon_mime": None, "icon_hash": None, "info": info,
         "groups": []}
    e.update(extra)
    return e


def vault(content, slots):
    master = os.urandom(32)
    db, params = seal(master, json.dumps(content).encode())
    return {"version": 1, "header": {"slots": [s(master) for s in slots], "params": params},
            "db": base64.b64encode(db).decode()}


def write(name, document):
    with open(name, "w") as f:
        json.dump(document, f, indent=2)
        f.write("\n")


# Content version 3: two supported kinds with every parameter set, a Steam entry, and an entry
# with fields this program does not know.
current = {"version": 3, "groups": [{"uuid": str(uuid.uuid4()), "name": "Работа"}], "entries": [
    entry("totp", "alice@example.com", "GitHub",
          {"secret": "JBSWY3DPEHPK3PXP", "algo": "SHA1", "digits": 6, "period": 30}),
    entry("hotp", "bob", "Банк",
          {"secret": "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ", "algo": "SHA256", "digits": 8, "counter": 42}),
    entry("steam", "carol", "Steam",
          {"secret": "JBSWY3DPEHPK3PXP", "algo": "SHA1", "digits": 5, "period": 30}),
    entry("totp", "dan", "Cloud",
          {"secret": "gezd gnbv gy3t qojq", "algo": "SHA512", "digits": 8, "period": 60},
          favorite=True, note="заметка", last_used=1700000000),
]}
write("vault-encrypted.json", vault(current, [lambda m: password_slot(m, "correct horse", 32768)]))

# Content version 2 behind a raw-key slot, a biometric slot, a password slot of another password
# and, last, a repaired slot of ours with a smaller N.
older = {"version": 2, "entries": [
    entry("totp", "erin", "Mail", {"secret": "KRSXG5CTMVRXEZLU", "algo": "SHA1", "digits": 6, "period": 30}),
    entry("motp", "frank", "Old", {"secret": "KRSXG5CTMVRXEZLU", "algo": "MD5", "digits": 6, "period": 10}),
]}
write("vault-slots.json", vault(older, [
    lambda m: raw_slot(m, 0),
    lambda m: raw_slot(m, 2),
    lambda m: password_slot(m, "другой пароль", 1024),
    lambda m: password_slot(m, "correct horse", 1024, {"repaired": True, "is_backup": False}),
]))

# A plain vault of content version 1.
write("vault-plain.json", {"version": 1, "header": {"slots": None, "params": None}, "db": {
    "version": 1, "entries": [
        entry("totp", "grace", "Shop", {"secret": "JBSWY3DPEHPK3PXP", "algo": "SHA1", "digits": 6, "period": 30}),
    ]}})
