#!/usr/bin/python3
"""A plain Modbus RTU slave on a serial device, serving the relay's 125
holding registers with plausible values, for tests against a peer we did not
write. Each register write is appended to --write-log as "register value"
(registers counted from 1). Once serving, "ready" is written to --ready.

Run with Debian's interpreter: /usr/bin/python3 (python3-pymodbus and
python3-serial-asyncio)."""
import argparse
import datetime
import logging
import sys

from pymodbus.datastore import ModbusSequentialDataBlock, ModbusServerContext, ModbusSlaveContext
from pymodbus.server import StartSerialServer
from pymodbus.transaction import ModbusRtuFramer


def bcd(a, b):
    return ((a // 10) << 12) | ((a % 10) << 8) | ((b // 10) << 4) | (b % 10)


def relay_registers():
    """Index = register number (1-125); index 0 is unused."""
    r = [0] * 126
    r[1:4] = [96, 98, 95]  # currents, % of In
    r[4:7] = [400, 402, 399]  # voltages
    r[7] = 42  # motor heat
    r[8] = 86  # cos phi x100
    r[9] = 55  # power
    r[10] = 0  # fault word
    r[11] = 0x0100  # K1 on
    # setpoints 12-22: In, short-circuit multiple x10, Q/15, Is, T1, Ia, T2, Un/10, Umin, Umax, Td x2
    r[12:23] = [25, 35, 10, 40, 10, 30, 5, 40, 80, 115, 5]
    r[23] = 2  # variant
    now = datetime.datetime.now()
    r[24] = bcd(now.month, now.day)
    r[25] = bcd(now.hour, now.minute)
    # fault memory: a few overload trips, packed two bytes a register
    memory = []
    for k in range(40):
        memory += [0x01, 0x01, 0x10 + (k % 9), 0x10, 0x20 + k % 10] if k < 6 else [0, 0, 0, 0, 0]
    for i in range(100):
        r[26 + i] = memory[2 * i] << 8 | memory[2 * i + 1]
    return r


class LoggedBlock(ModbusSequentialDataBlock):
    def __init__(self, values, log):
        super().__init__(0, values)
        self.log = log

    def setValues(self, address, values):  # pylint: disable=invalid-name
        super().setValues(address, values)
        if self.log:
            with open(self.log, "a", encoding="ascii") as f:
                for i, v in enumerate(values if isinstance(values, list) else [values]):
                    f.write(f"{address + i} {v}\n")


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--port", required=True)
    p.add_argument("--baud", type=int, default=4800)
    p.add_argument("--parity", default="N", choices=["N", "E", "O"])
    p.add_argument("--stop-bits", type=int, default=1)
    p.add_argument("--address", type=int, default=1)
    p.add_argument("--write-log")
    p.add_argument("--ready")
    a = p.parse_args()
    logging.basicConfig(stream=sys.stderr, level=logging.WARNING)
    # pymodbus adds 1 to the wire's address (zero_mode off): block index = register number.
    block = LoggedBlock(relay_registers(), a.write_log)
    store = ModbusSlaveContext(hr=block)
    context = ModbusServerContext(slaves={a.address: store}, single=False)
    if a.ready:
        with open(a.ready, "w", encoding="ascii") as f:
            f.write("ready\n")
    StartSerialServer(context=context, framer=ModbusRtuFramer, port=a.port, baudrate=a.baud,
                      parity=a.parity, stopbits=a.stop_bits, bytesize=8, timeout=0.05)


if __name__ == "__main__":
    main()
