# A solução inteira como processo, medida de fora: a placa contra o programa direto (bench/placa_direto) em pares
# alternados, uma e duas threads com a máquina ociosa e meio ocupada, e para onde vão os milissegundos (--timing e,
# se o perf existe, as amostras de tempo de processador por função). bench/desempenho.py usa estas medidas.
import csv
import os
import resource
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "pares"))
import rodadas  # noqa: E402  (a entrada da placa senoidal e os níveis desde 3 x 3)


class bancada:
    """Os dois programas e uma pasta temporária com a entrada de cada tamanho (a listagem vai para lá)."""

    def __init__(self, placa, direto):
        self.placa, self.direto = os.path.abspath(placa), os.path.abspath(direto)
        self.pasta = tempfile.mkdtemp(prefix="placa-inteira-")

    def fechar(self):
        shutil.rmtree(self.pasta, ignore_errors=True)

    def entrada(self, n):
        caminho = os.path.join(self.pasta, f"p{n}.ent")
        if not os.path.exists(caminho):
            with open(caminho, "w") as f:
                f.write(rodadas.ENTRADA.format(nm=rodadas.niveis(n)))
        return caminho

    def linha_placa(self, n, threads, *extra):
        return [self.placa, "-n", "-j", str(threads), *extra, "--", self.entrada(n)]

    def relogio(self, linha):
        """Tempo de relógio do processo inteiro (s) e a sua saída padrão; em self.processador o seu tempo de
        processador (usuário + sistema, s), que outros processos nos mesmos processadores não inflam."""
        u0 = resource.getrusage(resource.RUSAGE_CHILDREN)
        t0 = time.perf_counter()
        r = subprocess.run(linha, cwd=self.pasta, capture_output=True, text=True)
        t = time.perf_counter() - t0
        u1 = resource.getrusage(resource.RUSAGE_CHILDREN)
        self.processador = (u1.ru_utime - u0.ru_utime) + (u1.ru_stime - u0.ru_stime)
        if r.returncode != 0:
            raise SystemExit(f"desempenho: {' '.join(linha)} failed:\n{r.stderr}")
        return t, r.stdout

    def ciclos_placa(self, n):
        resumo = os.path.join(self.pasta, "s.csv")
        if os.path.exists(resumo):
            os.unlink(resumo)
        self.relogio(self.linha_placa(n, 1, "--summary", resumo))
        with open(resumo, encoding="utf-8") as f:
            return int(list(csv.DictReader(f))[-1]["niter"])


def pares(a, b, vezes):
    """Pares alternados (a, b, a, b, ...): as medianas de a e de b e a mediana das razões a/b de cada par."""
    ta, tb = [], []
    for _ in range(vezes):
        ta.append(a())
        tb.append(b())
    return statistics.median(ta), statistics.median(tb), statistics.median(x / y for x, y in zip(ta, tb))


def contra_o_direto(banc, n, vezes):
    """A placa (uma thread, listagem escrita) contra o programa direto, o tempo de relógio de cada processo."""
    _, saida = banc.relogio([banc.direto, str(n)])
    ciclos_direto = int(re.search(r'"ciclos": (\d+)', saida).group(1))
    ciclos = banc.ciclos_placa(n)
    if ciclos != ciclos_direto:
        raise SystemExit(f"desempenho: at {n}² placa took {ciclos} cycles and the straightforward program "
                         f"{ciclos_direto}")
    cpu = {"direto": [], "placa": []}

    def medir(quem, linha):
        t = banc.relogio(linha)[0]
        cpu[quem].append(banc.processador)
        return t

    d, p, razao = pares(lambda: medir("direto", [banc.direto, str(n)]),
                        lambda: medir("placa", banc.linha_placa(n, 1)), vezes)
    cd, cp = statistics.median(cpu["direto"]), statistics.median(cpu["placa"])
    razao_cpu = statistics.median(x / y for x, y in zip(cpu["direto"], cpu["placa"]))
    return {"n": n, "ciclos": ciclos, "direto_s": d, "placa_s": p, "razao": razao, "vezes": vezes,
            "direto_cpu_s": cd, "placa_cpu_s": cp, "razao_cpu": razao_cpu, "carga": os.getloadavg()[0]}


class ocupado:
    """Um processo que gira num processador enquanto o bloco roda (a máquina meio ocupada)."""

    def __enter__(self):
        self.p = subprocess.Popen([sys.executable, "-c", "while True: pass"])
        time.sleep(0.3)
        return self

    def __exit__(self, *_):
        self.p.kill()
        self.p.wait()


def threads(banc, n, vezes, meio_ocupada):
    """Uma e duas threads (-j 1 contra -j 2) e o padrão (-j omitido: os processadores ociosos), a solução inteira."""
    def medir():
        um, dois, padrao = [], [], []
        for _ in range(vezes): # em trios alternados: os três veem a mesma máquina
            um.append(banc.relogio(banc.linha_placa(n, 1))[0])
            dois.append(banc.relogio(banc.linha_placa(n, 2))[0])
            padrao.append(banc.relogio([banc.placa, "-n", "--", banc.entrada(n)])[0])
        mediana = statistics.median
        return {"n": n, "um_s": mediana(um), "dois_s": mediana(dois), "padrao_s": mediana(padrao),
                "aceleracao": mediana(a / b for a, b in zip(um, dois)),
                "padrao_razao": mediana(a / b for a, b in zip(um, padrao)), "carga": os.getloadavg()[0]}
    if meio_ocupada:
        with ocupado():
            return medir()
    return medir()


def tempos_da_solucao(banc, n):
    """A tabela de --timing (uma thread) e o tempo da solução que ela dá, em ms."""
    _, saida = banc.relogio(banc.linha_placa(n, 1, "--timing"))
    m = re.search(r"([\d.]+) ms de ([\d.]+) ms da solução", saida)
    soma = re.search(r"^\s+soma\s.*?([\d.]+)\s*$", saida, re.M)
    return {"texto": saida.strip(), "fora_ms": float(m.group(1)) if m else None,
            "solucao_ms": float(m.group(2)) if m else None, "fases_ms": float(soma.group(1)) if soma else None}


GRUPOS = [  # (nome, padrão do símbolo), o primeiro que casa
    ("kernel: first touch (page faults, zeroing and freeing pages)", r"\[k\].*(clear_page|fault|alloc_pages|rmqueue|"
     r"zap_|free_pages|free_unref|pte|lru|memcg|folio|unmap|release_pages|do_anonymous|handle_mm)"),
    ("kernel: other (process start and exit, files, hypervisor)", r"\[k\]"),
    ("solve: sweeps and fused passes (smoothing, norm, restriction, interpolation)",
     r"(varrer|passos|prolong|restring|parcelas|ciclo|trabalhar|esperar|publicar|frente|passada|gauss_seidel|"
     r"norma|suaviz|resolver)"),
    ("solve: initial field", r"campo_inicial|solucao_analitica|preparar_campo"),
    ("analysis after the solve (errors against the exact and the discrete solutions)",
     r"erro|discret|exata|medir|sinh|exp|calcular_cifras|lfa|taxa"),
    ("listing (numbers rendered and written)", r"listagem|latin|to_chars|d2s|printf|escrever|write|numero|formatar|"
     r"saida|texto|linha"),
    ("memory in the process (allocation, zeroing, copies, release)", r"memset|malloc|free|_int_|memcpy|memmove|"
     r"vetor_grande|criar"),
    ("loading and starting the program", r"_dl_|ld-linux|do_lookup|strcmp|init"),
]


def onde_vao(banc, n, frequencia=10000):
    """Amostras de tempo de processador por função de uma rodada de uma thread (perf record -e cpu-clock), em ms
    agrupadas; None sem perf ou sem permissão."""
    if not shutil.which("perf"):
        return None
    dados = os.path.join(banc.pasta, "perf.data")
    linha = ["perf", "record", "-q", "-e", "cpu-clock", "-F", str(frequencia), "-o", dados, "--"] + \
        banc.linha_placa(n, 1)
    t0 = time.perf_counter()
    r = subprocess.run(linha, cwd=banc.pasta, capture_output=True, text=True)
    parede = time.perf_counter() - t0
    if r.returncode != 0:
        return None
    rel = subprocess.run(["perf", "report", "-i", dados, "--stdio", "--no-children", "--sort", "sym",
                          "-F", "sample,sym"], capture_output=True, text=True)
    if rel.returncode != 0:
        return None
    simbolos = []
    for l in rel.stdout.splitlines():
        m = re.match(r"\s*(\d+)\s+(\[[.k]\]\s+.*\S)\s*$", l)
        if m:
            simbolos.append((int(m.group(1)) * 1000.0 / frequencia, m.group(2)))
    grupos = {nome: 0.0 for nome, _ in GRUPOS}
    grupos["other"] = 0.0
    outros = []
    for ms, s in simbolos:
        nome = next((g for g, padrao in GRUPOS if re.search(padrao, s, re.I)), "other")
        grupos[nome] += ms
        if nome == "other":
            outros.append((ms, s))
    return {"parede_ms": parede * 1e3, "amostrado_ms": sum(ms for ms, _ in simbolos), "grupos": grupos,
            "simbolos": sorted(simbolos, reverse=True)[:12], "outros": sorted(outros, reverse=True)[:8]}
