"""Runs exports of the 32-bit tarn.dll in an x86 emulator, as a stdcall caller would call them.

The image is mapped at its preferred base. Every imported function is bound to a stand-in
that stops the run: the memory-only exports must not reach the platform at all. A test may
give an import a Python handler instead (`handle`), which gets the stack pointer at entry,
returns the result and pops its own arguments as a stdcall function does (or none, for the
C runtime's cdecl functions). The C runtime's memset, memcpy and memmove are handled from
the start: they are pure memory functions. Each call pushes its arguments right to left and a
return address, runs to that address, and reports the result together with how far the stack
pointer moved.

The processor the DLL sees is a CpuProfile: the CPUID instruction is answered from it, and so
is XGETBV, which the emulator does not know. A fresh Emulated32Dll per profile gives the DLL a
fresh cached choice of code path. The emulator (unicorn 2.0.1) executes SSE2 and SSSE3 but no
256-bit AVX instruction, so profiles that offer AVX2 with the OS saving the YMM state cannot
run.
"""
import struct

from dataclasses import dataclass

import pefile
from unicorn import UC_ARCH_X86, UC_HOOK_CODE, UC_HOOK_INSN, UC_MODE_32, Uc, UcError
from unicorn.x86_const import (UC_X86_INS_CPUID, UC_X86_REG_EAX, UC_X86_REG_EBX,
                               UC_X86_REG_ECX, UC_X86_REG_EDX, UC_X86_REG_EIP, UC_X86_REG_ESP)

STACK_TOP = 0x00800000
STACK_SIZE = 0x00100000
HEAP_BASE = 0x01000000
HEAP_SIZE = 0x04000000
STUBS = 0x00200000
STUBS_SIZE = 0x00010000
RETURN_ADDRESS = 0x00300000


class ImportCalled(Exception):
    pass


@dataclass(frozen=True)
class CpuProfile:
    """What CPUID and XGETBV report."""
    sse2: bool = True
    ssse3: bool = True
    avx2: bool = False  # CPUID's AVX and OSXSAVE (leaf 1) and AVX2 (leaf 7) bits
    os_saves_ymm: bool = False  # XCR0 bits 1 and 2

    def cpuid(self, leaf):
        if leaf == 0:
            return 7, 0x756E6547, 0x6C65746E, 0x49656E69  # "GenuineIntel"
        if leaf == 1:
            edx = (1 << 0) | (1 << 15) | (1 << 23) | (1 << 24) | (1 << 25)  # FPU CMOV MMX FXSR SSE
            edx |= (1 << 26) if self.sse2 else 0
            ecx = (1 << 9) if self.ssse3 else 0
            ecx |= ((1 << 27) | (1 << 28)) if self.avx2 else 0
            return 0x663, 0, ecx, edx
        if leaf == 7:
            return 0, (1 << 5) if self.avx2 else 0, 0, 0
        return 0, 0, 0, 0

    def xcr0(self):
        return 0x7 if self.os_saves_ymm else 0x3


XGETBV = b"\x0f\x01\xd0"


def _page(n):
    return (n + 0xFFF) & ~0xFFF


class Emulated32Dll:
    def __init__(self, path, cpu=CpuProfile()):
        self.cpu = cpu
        self.pe = pefile.PE(str(path))
        self.base = self.pe.OPTIONAL_HEADER.ImageBase
        self.uc = Uc(UC_ARCH_X86, UC_MODE_32)
        image = self.pe.get_memory_mapped_image()
        self.uc.mem_map(self.base, _page(len(image)))
        self.uc.mem_write(self.base, image)
        self.uc.mem_map(STACK_TOP - STACK_SIZE, STACK_SIZE)
        self.uc.mem_map(HEAP_BASE, HEAP_SIZE)
        self.uc.mem_map(RETURN_ADDRESS, 0x1000)
        self._bind_imports()
        self._handle_memory_functions()
        self._answer_cpu_queries()
        self.exports = {s.name.decode(): self.base + s.address
                        for s in self.pe.DIRECTORY_ENTRY_EXPORT.symbols}
        self.imports_called = []
        self._heap_next = HEAP_BASE

    def _bind_imports(self):
        self.stub_names = {}
        entries = [(imp, f"{entry.dll.decode()}!{(imp.name or b'#').decode()}")
                   for entry in getattr(self.pe, "DIRECTORY_ENTRY_IMPORT", [])
                   for imp in entry.imports]
        self.handlers = {}
        self.extra_stubs = 0
        self.uc.mem_map(STUBS, STUBS_SIZE)
        self.uc.mem_write(STUBS, b"\xf4" * STUBS_SIZE)  # hlt: never meant to run
        for index, (imp, name) in enumerate(entries):
            stub = STUBS + index * 16
            self.uc.mem_write(imp.address, struct.pack("<I", stub))
            self.stub_names[stub] = name

        def on_code(uc, address, size, user_data):
            name = self.stub_names.get(address)
            if name is None:
                return
            handler = self.handlers.get(name)
            if handler is None:
                self.imports_called.append(name)
                uc.emu_stop()
                return
            function, argument_bytes = handler
            esp = uc.reg_read(UC_X86_REG_ESP)
            result = function(esp) or 0
            uc.reg_write(UC_X86_REG_EAX, result & 0xFFFFFFFF)
            uc.reg_write(UC_X86_REG_ESP, esp + 4 + argument_bytes)
            uc.reg_write(UC_X86_REG_EIP, self.dword(esp))

        self.uc.hook_add(UC_HOOK_CODE, on_code, begin=STUBS, end=STUBS + STUBS_SIZE - 1)

    def handle(self, name, function, argument_bytes):
        """Runs `function(esp)` for the import "DLL!name" (or a stub made by `make_stub`) and
        pops `argument_bytes` after the return address: the argument bytes of a stdcall
        function, 0 for a cdecl one."""
        self.handlers[name] = (function, argument_bytes)

    def make_stub(self, name):
        """An address outside the imports that, once handled, acts as a function `name`."""
        self.extra_stubs += 1
        stub = STUBS + STUBS_SIZE - 16 * self.extra_stubs
        self.stub_names[stub] = "stub!" + name
        return stub

    def _handle_memory_functions(self):
        def memset(esp):
            target, value, n = (self.argument(esp, i) for i in range(3))
            self.uc.mem_write(target, bytes([value & 0xFF]) * n)
            return target

        def memmove(esp):
            target, source, n = (self.argument(esp, i) for i in range(3))
            self.uc.mem_write(target, self.read(source, n))
            return target

        self.handle("msvcrt.dll!memset", memset, 0)
        self.handle("msvcrt.dll!memcpy", memmove, 0)
        self.handle("msvcrt.dll!memmove", memmove, 0)

    def _answer_cpu_queries(self):
        def on_cpuid(uc, user_data):
            eax, ebx, ecx, edx = self.cpu.cpuid(uc.reg_read(UC_X86_REG_EAX))
            for register, value in ((UC_X86_REG_EAX, eax), (UC_X86_REG_EBX, ebx),
                                    (UC_X86_REG_ECX, ecx), (UC_X86_REG_EDX, edx)):
                uc.reg_write(register, value)
            return 1  # skip the emulator's own CPUID

        # The emulator faults on XGETBV, so each one in the code is answered before it runs.
        def on_xgetbv(uc, address, size, user_data):
            uc.reg_write(UC_X86_REG_EAX, self.cpu.xcr0())
            uc.reg_write(UC_X86_REG_EDX, 0)
            uc.reg_write(UC_X86_REG_EIP, address + len(XGETBV))

        self.uc.hook_add(UC_HOOK_INSN, on_cpuid, None, 1, 0, UC_X86_INS_CPUID)
        image = self.pe.get_memory_mapped_image()
        for section in self.pe.sections:
            if not section.Characteristics & 0x20000000:
                continue
            start = section.VirtualAddress
            code = image[start:start + section.Misc_VirtualSize]
            at = code.find(XGETBV)
            while at >= 0:
                address = self.base + start + at
                self.uc.hook_add(UC_HOOK_CODE, on_xgetbv, begin=address, end=address)
                at = code.find(XGETBV, at + 1)

    def trace_instructions(self, on_instruction):
        """Calls on_instruction(bytes) for every instruction the image executes from now on."""
        def on_code(uc, address, size, user_data):
            on_instruction(bytes(uc.mem_read(address, size)))

        self.uc.hook_add(UC_HOOK_CODE, on_code, begin=self.base,
                         end=self.base + self.pe.OPTIONAL_HEADER.SizeOfImage)

    def dword(self, address):
        return struct.unpack("<I", self.read(address, 4))[0]

    def argument(self, esp, index):
        """The index-th 32-bit argument of a function entered with stack pointer `esp`."""
        return self.dword(esp + 4 + 4 * index)

    def string(self, address, limit=4096):
        data = self.read(address, limit)
        return data[:data.index(b"\0")] if b"\0" in data else data

    def reset_heap(self):
        self._heap_next = HEAP_BASE

    def alloc(self, data):
        """Copies bytes into emulator memory and returns their address."""
        address = self._heap_next
        self._heap_next = (address + len(data) + 64 + 15) & ~15
        if self._heap_next > HEAP_BASE + HEAP_SIZE:
            raise MemoryError("emulator heap exhausted")
        self.uc.mem_write(address, bytes(data))
        return address

    def read(self, address, size):
        return bytes(self.uc.mem_read(address, size))

    def call(self, name, *args):
        """Calls an export with 32-bit arguments (a float goes as an 8-byte double); returns
        (signed result, bytes popped)."""
        esp = STACK_TOP - 0x1000
        frame = struct.pack("<I", RETURN_ADDRESS) + b"".join(
            struct.pack("<d", a) if isinstance(a, float) else struct.pack("<I", a & 0xFFFFFFFF)
            for a in args)
        esp -= len(frame)
        self.uc.mem_write(esp, frame)
        self.uc.reg_write(UC_X86_REG_ESP, esp)
        self.imports_called = []
        try:
            self.uc.emu_start(self.exports[name], RETURN_ADDRESS, count=500_000_000)
        except UcError as error:
            raise RuntimeError(f"{name} faulted: {error}") from error
        if self.imports_called:
            raise ImportCalled(f"{name} called {self.imports_called}")
        popped = self.uc.reg_read(UC_X86_REG_ESP) - (esp + 4)
        result = self.uc.reg_read(UC_X86_REG_EAX)
        return struct.unpack("<i", struct.pack("<I", result))[0], popped
