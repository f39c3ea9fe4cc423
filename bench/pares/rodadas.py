# Rodadas dos pares e da placa: compilar os dois programas dos pares, rodá-los (uma linha JSON por ajuste) e rodar a
# placa pela linha de comando com --summary e --csv-errors, com os mesmos critérios (comum.h os define para os pares).
import csv
import os
import shutil
import subprocess
import tempfile

AQUI = os.path.dirname(os.path.abspath(__file__))
# uma thread; o Open MPI de um processo só, sem o seu daemon (a partida cai de ~0,8 para ~0,5 s)
AMBIENTE = dict(os.environ, OMP_NUM_THREADS="1", OPENBLAS_NUM_THREADS="1", OMPI_MCA_ess_singleton_isolated="1",
                OMPI_MCA_btl="self")
PACOTES = "libhypre-dev petsc-dev"


def falta_dependencia():
    """O que falta para compilar os pares (None quando nada falta)."""
    if not shutil.which("mpicxx"):
        return "mpicxx (Open MPI)"
    if not os.path.exists("/usr/include/hypre/HYPRE_struct_ls.h"):
        return "hypre's headers (/usr/include/hypre)"
    if subprocess.run(["pkg-config", "--exists", "petsc"], env=AMBIENTE).returncode != 0:
        return "PETSc (pkg-config petsc)"
    return None


def pkg_config(*args):
    return subprocess.run(["pkg-config", *args, "petsc"], capture_output=True, text=True, check=True).stdout.split()


def construir(pasta):
    """Compila par_hypre e par_petsc em pasta, os dois ao mesmo tempo (-j2); devolve os caminhos."""
    os.makedirs(pasta, exist_ok=True)
    comum = ["mpicxx", "-std=c++20", "-O2", "-Wall", "-Wextra", "-DOMPI_SKIP_MPICXX"]
    receitas = {
        "par_hypre": comum + ["-I/usr/include/hypre", os.path.join(AQUI, "par_hypre.cpp"), "-o",
                              os.path.join(pasta, "par_hypre"), "-lHYPRE"],
        "par_petsc": comum + pkg_config("--cflags") + [os.path.join(AQUI, "par_petsc.cpp"), "-o",
                                                       os.path.join(pasta, "par_petsc")] + pkg_config("--libs"),
    }
    processos = {nome: subprocess.Popen(r, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
                 for nome, r in receitas.items()}
    for nome, p in processos.items():
        saida = p.communicate()[0]
        if p.returncode != 0:
            raise SystemExit(f"pares: building {nome} failed:\n{saida}")
    return {nome: os.path.join(pasta, nome) for nome in receitas}


def versao_pacote(nome):
    r = subprocess.run(["dpkg-query", "-W", "-f=${Version}", nome], capture_output=True, text=True)
    return r.stdout.strip() if r.returncode == 0 else "?"


def rodar_par(programa, argumentos, limite=600):
    """Uma rodada de um programa de par: o seu JSON, ou {'falha': texto}."""
    import json
    try:
        r = subprocess.run([programa, *argumentos], capture_output=True, text=True, env=AMBIENTE, timeout=limite)
    except subprocess.TimeoutExpired:
        return {"falha": f"over {limite} s"}
    linhas = [l for l in r.stdout.splitlines() if l.startswith("{")]
    if r.returncode != 0 or not linhas:
        return {"falha": (r.stderr or r.stdout).strip()[-300:] or f"exit status {r.returncode}"}
    return json.loads(linhas[-1])


ENTRADA = """pares.lst   caso
{nm}         nm
3            nxg(1)
3            nyg(1)
1.0d-8       tolt
60           itmax
2            nitm
2            problema
0            tipo_ci
0            escreve
1            freq
'pares'      titulo
"""


def niveis(n):
    """nm da hierarquia desde 3 x 3 que chega a n x n pontos (n = 2^k + 1)."""
    nm, m = 1, 3
    while m < n:
        m, nm = 2 * m - 1, nm + 1
    if m != n:
        raise SystemExit(f"pares: {n} is not 2^k + 1")
    return nm


class placa:
    """A placa numa pasta temporária, uma thread, o problema senoidal de n x n pontos."""

    def __init__(self, programa):
        self.programa = os.path.abspath(programa)
        self.pasta = tempfile.mkdtemp(prefix="placa-pares-")

    def versao(self):
        r = subprocess.run([self.programa, "--version"], capture_output=True, text=True)
        return r.stdout.strip() or "?"

    def fechar(self):
        shutil.rmtree(self.pasta, ignore_errors=True)

    def rodar(self, n, opcoes, ajustes, csv_erros=False, listagem=False):
        """Uma rodada: a linha do --summary, o histórico do --csv (com os erros, se pedidos) e a listagem."""
        entrada = os.path.join(self.pasta, "pares.ent")
        with open(entrada, "w") as f:
            f.write(ENTRADA.format(nm=niveis(n)))
        resumo, historico = os.path.join(self.pasta, "s.csv"), os.path.join(self.pasta, "h.csv")
        for f in (resumo, historico):
            if os.path.exists(f):
                os.unlink(f)
        linha = [self.programa, "-n", "-j", "1", *opcoes, "--summary", resumo]
        for nome, valor in ajustes.items():
            linha += ["--set", f"{nome}={valor}"]
        if csv_erros:
            linha += ["--csv", historico, "--csv-errors"]
        r = subprocess.run(linha + ["--", entrada], cwd=self.pasta, capture_output=True, text=True, timeout=600)
        if r.returncode != 0:
            raise SystemExit(f"pares: placa failed ({' '.join(linha)}):\n{r.stderr}")
        with open(resumo, encoding="utf-8") as f:
            s = list(csv.DictReader(f))[-1]
        h = []
        if csv_erros:
            with open(historico, encoding="utf-8") as f:
                h = list(csv.DictReader(l for l in f if not l.startswith("#")))
        texto = None
        if listagem:
            with open(os.path.join(self.pasta, "pares.lst"), encoding="latin-1") as f:
                texto = f.read()
        return s, h, texto

    def medir(self, n, opcoes, margem, tolerancia, repeticoes):
        """Os mesmos critérios dos pares: a primeira iteração com L1(R)i/L1(R)o <= tolerancia (o teste da própria
        placa, tolt) e a primeira com o erro algébrico máximo <= margem vezes o de discretização (--csv-errors);
        os tempos são relogio_s do --summary (a solução inteira: alocação, campo inicial, FMG e ciclos), o menor
        de várias rodadas sem --csv-errors."""
        s, h, _ = self.rodar(n, opcoes, {"tolt": "1e-14", "itmax": 40}, csv_erros=True)
        ed = float(s["erro_discretizacao_max"])
        r = {"par": "placa", "chave": opcoes, "n": n, "erro_discretizacao": ed,
             "l1_inicial": float(h[0]["L1(R)"]), "preparo_s": 0.0}
        criterios = {
            "tolerancia_atingida": lambda l: float(l["L1(R)i/L1(R)o"]) <= tolerancia,
            "discretizacao_atingida": lambda l: float(l["erro_algebrico_max"]) <= margem * ed,
        }
        for nome, atinge in criterios.items():
            k = next((int(l["iteracao"]) for l in h if int(l["iteracao"]) > 0 and atinge(l)), None)
            if k is None:
                r[nome] = None
                continue
            tempos = []
            for _ in range(repeticoes):
                t, _, _ = self.rodar(n, opcoes, {"tolt": "1e-300", "itmax": k})
                tempos.append(float(t["relogio_s"]))
            linha = h[k]
            r[nome] = {"k": k, "s": min(tempos), "razao": float(linha["L1(R)i/L1(R)o"]),
                       "erro_algebrico": float(linha["erro_algebrico_max"]), "erro_total": float(t["erro_max"]),
                       "repeticoes": repeticoes}
        return r
