#!/usr/bin/python3
"""A plain Modbus server from pymodbus for the network tests: holding
registers 1..200 of one unit id, served as Modbus TCP or as RTU frames over
TCP at 127.0.0.1:PORT. Nothing in it is made to suit the program.

  modbus_peer.py --port N [--framing tcp|rtu] [--unit 3] [--set REG=VALUE ...]

REG is 1-based as the program counts (wire address REG-1). Prints "listening"
once the socket is bound.
"""
import argparse
import asyncio
import sys

from pymodbus.datastore import ModbusSequentialDataBlock, ModbusServerContext, ModbusSlaveContext
from pymodbus.server import StartAsyncTcpServer
from pymodbus.transaction import ModbusRtuFramer, ModbusSocketFramer


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--port", type=int, required=True)
    p.add_argument("--framing", choices=("tcp", "rtu"), default="tcp")
    p.add_argument("--unit", type=int, default=3)
    p.add_argument("--set", action="append", default=[])
    a = p.parse_args()
    values = [0] * 200
    for item in a.set:
        reg, value = item.split("=")
        values[int(reg) - 1] = int(value)
    store = ModbusSlaveContext(hr=ModbusSequentialDataBlock(0, values), zero_mode=True)
    context = ModbusServerContext(slaves={a.unit: store}, single=False)
    framer = ModbusSocketFramer if a.framing == "tcp" else ModbusRtuFramer

    async def run():
        server = await StartAsyncTcpServer(context=context, address=("127.0.0.1", a.port), framer=framer,
                                           allow_reuse_address=True, defer_start=True)
        task = asyncio.ensure_future(server.serve_forever())
        await server.serving
        print("listening", flush=True)
        await task

    asyncio.run(run())


if __name__ == "__main__":
    sys.exit(main())
