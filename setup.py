"""`pip install .`: CMake builds the extension, the add-on and libzel into the
quorix package folder. Needs a C++20 compiler and the Python headers; CMake,
Ninja and pybind11 come from pip, or from the system where the build is not
isolated (Debian: cmake ninja-build python3-dev pybind11-dev)."""
import os
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE = os.path.dirname(os.path.abspath(__file__))


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = os.path.abspath(self.build_temp)
        define = ["-DCMAKE_BUILD_TYPE=Release", "-DQUORIX_TESTS=OFF", "-DQUORIX_BENCH=OFF",
                  "-DQUORIX_PYTHON_INSTALL=ON", "-DPython_EXECUTABLE=" + sys.executable]
        try:
            import pybind11
            define.append("-Dpybind11_DIR=" + pybind11.get_cmake_dir())
        except ImportError:
            pass  # the system's
        if shutil.which("ninja"):
            define += ["-G", "Ninja"]
        subprocess.run(["cmake", "-S", SOURCE, "-B", build] + define, check=True)
        subprocess.run(["cmake", "--build", build, "--target", "_quorix", "--parallel"], check=True)
        subprocess.run(["cmake", "--install", build, "--prefix", os.path.abspath(self.build_lib)], check=True)


setup(ext_modules=[Extension("quorix._quorix", sources=[])], cmdclass={"build_ext": CMakeBuild})
