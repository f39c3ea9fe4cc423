// Núcleos rápidos contra os de referência: os mesmos bits em T, cor, res, rnorm e hist, para 1, 2 e 3 threads e
// cada conjunto de instruções que o processador tem.
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "plataforma_falsa.h"
#include "solver/solver.h"

namespace {

ajustes_solver ajustes_de(int threads, conjunto_instrucoes c) {
    ajustes_solver a;
    a.threads = threads;
    a.instrucoes = c;
    return a;
}

// Primeiro índice em que a e b diferem (para a mensagem), ou -1.
long primeira_diferenca(const vetor_grande& a, const vetor_grande& b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (!mesmos_bits(a[i], b[i])) return static_cast<long>(i);
    return a.size() == b.size() ? -1 : static_cast<long>(std::min(a.size(), b.size()));
}

#define ESPERA_MESMOS_BITS(a, b) EXPECT_TRUE(mesmos_bits(a, b)) << #a " difere em " << primeira_diferenca(a, b)

const char* nome(conjunto_instrucoes c) {
    switch (c) {
    case conjunto_instrucoes::avx2: return "avx2";
    case conjunto_instrucoes::avx512: return "avx512";
    default: return "escalar";
    }
}

// Os conjuntos que este processador tem (os outros não dá para forçar).
std::vector<conjunto_instrucoes> conjuntos() {
    std::vector<conjunto_instrucoes> r;
    for (conjunto_instrucoes c : {conjunto_instrucoes::escalar, conjunto_instrucoes::avx2, conjunto_instrucoes::avx512})
        if (conjunto_disponivel(c)) r.push_back(c);
    return r;
}

// Estado com T, cor e res criados e preenchidos ao acaso (contornos de T conforme o problema), nível k corrente.
estado_execucao nivel_ao_acaso(int nm, int nx1, int ny1, int problema, int k, unsigned semente) {
    estado_execucao e = estado_de(entrada(nm, nx1, ny1, "0.0", 3, 1, problema));
    criar_campo(e, e.nxyg[nm]);
    criar_niveis_grossos(e, static_cast<long>(e.nxyt) - e.nxyg[nm]);
    selecionar_nivel(e, nm);
    preparar_campo_inicial(e, efetivo(e));
    std::mt19937_64 g(semente);
    uniforme d(-1.0, 1.0);
    const int nx = e.nxg[nm], ny = e.nyg[nm];
    for (int j = 2; j < ny; ++j)
        for (int i = 2; i < nx; ++i) e.T[i + (j - 1) * static_cast<std::size_t>(nx)] = d(g);
    for (std::size_t q = 1; q < e.cor.size(); ++q) {
        e.cor[q] = d(g);
        e.res[q] = 1e3 * d(g);
    }
    selecionar_nivel(e, k);
    coeficientes(e);
    return e;
}

// Correção do nível corrente com contornos nulos (como na solução, onde nada os escreve) e o interior com o valor
// v (NaN: uma passada zerada que o lesse daria NaN).
void zerar_nivel(estado_execucao& e, double interior) {
    for (int j = 1; j <= e.nyk; ++j)
        for (int i = 1; i <= e.nxk; ++i) {
            const bool borda = i == 1 || i == e.nxk || j == 1 || j == e.nyk;
            e.cor[static_cast<std::size_t>(e.ofsk + i + (j - 1) * e.nxk)] = borda ? 0.0 : interior;
        }
}

// A restrição pedida com os núcleos de referência (as ponderações com o seu rascunho de três linhas).
void restringir_referencia(estado_execucao& e, restricao_passada r) {
    if (r == restricao_passada::injecao) {
        restringir_residuo(e);
        return;
    }
    std::vector<double> rascunho(3 * (static_cast<std::size_t>(e.nxk) + 1), 0.0);
    if (r == restricao_passada::meia) restringir_meia(nivel_corrente(e), nivel_abaixo_do_corrente(e), rascunho.data());
    else restringir_completa(nivel_corrente(e), nivel_abaixo_do_corrente(e), rascunho.data());
}

// O que uma passada faz, com os núcleos de referência, na ordem em que o ciclo V os chama.
void passada_referencia(estado_execucao& e, const pedido_passada& p) {
    const bool em_T = e.nm == 1 || e.k == e.nm;
    if (p.zerar) zerar_nivel(e, 0.0);
    if (p.prolongar) {
        if (em_T) prolongar_em_T(e);
        else prolongar_correcao(e);
    }
    if (em_T) gauss_seidel(e);
    else suavizar_correcao(e);
    if (p.restringir) restringir_referencia(e, p.restricao);
    if (p.norma) norma_l1(e);
}

struct forma {
    int nm, nx1, ny1;
};

// Cada combinação de passada em cada nível, para cada nitm, conjunto de instruções e número de threads.
void conferir_passadas(const forma& f, int problema, const std::vector<int>& nitms,
                       restricao_passada restricao = restricao_passada::injecao) {
    for (int k = 1; k <= f.nm; ++k) {
        const estado_execucao base = nivel_ao_acaso(f.nm, f.nx1, f.ny1, problema, k, static_cast<unsigned>(7 * k + f.nx1));
        estado_execucao ref = base, e = base; // cada passada recomeça da base, nas mesmas áreas
        const long nx = (f.nx1 - 1L) * (1L << (k - 1)) + 1, ny = (f.ny1 - 1L) * (1L << (k - 1)) + 1;
        // uma equipe por conjunto e número de threads, a mesma para todas as passadas do nível, como numa solução
        std::vector<std::unique_ptr<equipe>> equipes;
        for (conjunto_instrucoes c : conjuntos())
            for (int threads : threads_conferidas(nx, ny)) equipes.push_back(std::make_unique<equipe>(threads, c));
        for (int nitm : nitms)
            for (int combinacao = 0; combinacao < 16; ++combinacao) {
                const pedido_passada pedido{nitm, (combinacao & 1) != 0, (combinacao & 2) != 0, (combinacao & 4) != 0,
                                            (combinacao & 8) != 0, restricao};
                if (((pedido.prolongar || pedido.restringir) && k == 1) || (pedido.norma && k != f.nm) ||
                    (pedido.zerar && k == f.nm))
                    continue; // não existe aqui
                if (!combinacao_conferida(nx, ny, combinacao, (k > 1 ? 3 : 0) | (k == f.nm ? 4 : 8))) continue;
                ref = base;
                ref.nitm = nitm;
                ref.rnorm = -1.0;
                passada_referencia(ref, pedido);
                for (const std::unique_ptr<equipe>& eq : equipes) {
                    SCOPED_TRACE("nível " + std::to_string(k) + " de " + std::to_string(f.nm) + ", " +
                                 std::to_string(f.nx1) + "x" + std::to_string(f.ny1) + ", problema " +
                                 std::to_string(problema) + ", restrição " +
                                 std::to_string(static_cast<int>(restricao)) + ", nitm " + std::to_string(nitm) +
                                 ", passada " + std::to_string(combinacao) + ", " + nome(eq->instrucoes()) +
                                 ", threads " + std::to_string(eq->pedidas()));
                    e = base;
                    e.nitm = nitm;
                    e.rnorm = -1.0;
                    if (pedido.zerar) zerar_nivel(e, std::nan(""));
                    passada_rapida(e, pedido, *eq);
                    ESPERA_MESMOS_BITS(e.T, ref.T);
                    ESPERA_MESMOS_BITS(e.cor, ref.cor);
                    ESPERA_MESMOS_BITS(e.res, ref.res);
                    EXPECT_TRUE(mesmos_bits(e.rnorm, ref.rnorm)) << e.rnorm << " contra " << ref.rnorm;
                }
            }
    }
}

// Solução inteira, referência contra rápida, com o histórico e as chamadas do aviso.
void conferir_solucao(int nm, int nx1, int ny1, int nitm, int problema, int tipo_ci, int itmax,
                      const std::vector<int>& threads_testadas = {1, 2, 3}, const metodo_solver& m = {}) {
    const std::string texto = entrada(nm, nx1, ny1, "0.0", itmax, nitm, problema, tipo_ci);
    estado_execucao ref = estado_de(texto);
    ajustes_solver referencia;
    referencia.rapidos = false;
    if (nm == 1) resolver_malha_unica(ref, efetivo(ref, m), referencia);
    else resolver_multigrid(ref, efetivo(ref, m), referencia);
    for (conjunto_instrucoes c : conjuntos())
        for (int threads : threads_testadas) {
            SCOPED_TRACE(std::to_string(nm) + " níveis, " + std::to_string(nx1) + "x" + std::to_string(ny1) + ", nitm " +
                         std::to_string(nitm) + ", problema " + std::to_string(problema) + ", tipo_ci " +
                         std::to_string(tipo_ci) + ", " + nome(c) + ", threads " + std::to_string(threads));
            estado_execucao e = estado_de(texto);
            int avisos = 0;
            const aviso_iteracao aviso = [&](const estado_execucao& x) {
                ++avisos;
                EXPECT_TRUE(mesmos_bits(x.hist[x.it], ref.hist[x.it])) << "ciclo " << x.it;
            };
            const ajustes_solver ajustes = ajustes_de(threads, c);
            if (nm == 1) resolver_malha_unica(e, efetivo(e, m), ajustes, aviso);
            else resolver_multigrid(e, efetivo(e, m), ajustes, aviso);
            EXPECT_EQ(e.niter, ref.niter);
            EXPECT_EQ(avisos, ref.niter);
            for (long long it = 0; it <= ref.niter; ++it)
                EXPECT_TRUE(mesmos_bits(e.hist[it], ref.hist[it])) << "hist(" << it << ")";
            ESPERA_MESMOS_BITS(e.T, ref.T);
            ESPERA_MESMOS_BITS(e.res, ref.res);
            // a correção grossa só é zerada onde é usada; no fim do último ciclo o interior é o mesmo
            ESPERA_MESMOS_BITS(e.cor, ref.cor);
        }
}

} // namespace

// Níveis pequenos: 2 x N e N x 2 (sem interior), 3 x 3, ímpares e não quadrados, linhas mais curtas que as linhas
// em voo e menos linhas que uma faixa.
TEST(Rapido, PassadasEmNiveisPequenos) {
    for (const forma& f : {forma{1, 2, 9}, forma{1, 9, 2}, forma{1, 3, 3}, forma{1, 4, 3}, forma{1, 3, 40},
                           forma{1, 40, 3}, forma{1, 7, 11}, forma{1, 10, 9}, forma{1, 12, 29}, forma{3, 2, 3},
                           forma{3, 3, 2}, forma{3, 3, 3}, forma{3, 4, 3}, forma{2, 3, 6}, forma{4, 3, 4}})
        for (int problema : {1, 2}) conferir_passadas(f, problema, {0, 1, 2, 3});
}

// Níveis grandes o bastante para três fatias de colunas (mais de 2^19 pontos internos) e para o regime vetorial:
// largura qualquer (atraso 1 entre linhas), nx - 1 múltiplo de 512 (atraso maior, para espalhar as linhas pela
// cache), faixas incompletas no topo, linhas curtas (menos colunas que linhas em voo) e poucas linhas.
TEST(Rapido, PassadasComThreadsEVetores) {
    conferir_passadas(forma{1, 1000, 530}, 2, {1, 2});
    conferir_passadas(forma{1, 1025, 600}, 1, {2, 3});
    conferir_passadas(forma{2, 257, 362}, 1, {2});
    conferir_passadas(forma{3, 186, 181}, 2, {1, 2});
    conferir_passadas(forma{1, 8, 89000}, 2, {2});
    conferir_passadas(forma{1, 265000, 4}, 2, {2});
}

TEST(Rapido, CampoInicialNumaPassada) {
    for (const forma& f : {forma{1, 2, 2}, forma{1, 2, 5}, forma{1, 5, 2}, forma{1, 3, 3}, forma{1, 4, 3},
                           forma{1, 37, 21}, forma{3, 9, 5}})
        for (int problema : {1, 2})
            for (int tipo_ci : {0, 1, 2}) {
                SCOPED_TRACE(std::to_string(f.nx1) + "x" + std::to_string(f.ny1) + ", problema " +
                             std::to_string(problema) + ", tipo_ci " + std::to_string(tipo_ci));
                const std::string texto = entrada(f.nm, f.nx1, f.ny1, "0.0", 3, 1, problema, tipo_ci);
                estado_execucao ref = estado_de(texto), e = estado_de(texto);
                for (estado_execucao* x : {&ref, &e}) {
                    criar_campo(*x, x->nxyg[x->nm]);
                    selecionar_nivel(*x, x->nm);
                }
                preparar_campo_inicial(ref, efetivo(ref));
                campo_inicial_rapido(e, efetivo(e));
                ESPERA_MESMOS_BITS(e.T, ref.T);
                EXPECT_TRUE(mesmos_bits(e.hist[0], ref.hist[0])) << e.hist[0] << " contra " << ref.hist[0];
                EXPECT_TRUE(mesmos_bits(e.ap, ref.ap));
            }
}

TEST(Rapido, MalhaUnicaIgualAReferencia) {
    for (int nitm = 0; nitm <= 4; ++nitm)
        for (int problema : {1, 2}) {
            conferir_solucao(1, 3, 3, nitm, problema, 0, 3);
            conferir_solucao(1, 2, 7, nitm, problema, 0, 2);
            conferir_solucao(1, 23, 17, nitm, problema, 0, 4);
        }
    conferir_solucao(1, 740, 721, 2, 2, 1, 2, {1, 2});
    conferir_solucao(1, 601, 140, 1, 1, 0, 3, {2});
}

TEST(Rapido, MultigridDeDoisAOitoNiveis) {
    for (int nm = 2; nm <= 8; ++nm)
        for (int problema : {1, 2}) {
            const int nitm = nm % 5;
            conferir_solucao(nm, 3, 3, nitm, problema, 0, 3, {1, 3});
            conferir_solucao(nm, 3, 2, 1 + nitm % 3, problema, 0, 2, {1});
        }
    for (int nitm = 0; nitm <= 4; ++nitm) {
        conferir_solucao(3, 4, 3, nitm, 2, 0, 3, {1});
        conferir_solucao(5, 5, 7, nitm, 1, 1, 2, {1});
        conferir_solucao(6, 7, 4, nitm, 2, 0, 2, {1});
        conferir_solucao(4, 94, 91, nitm, 1 + nitm % 2, 0, 2, {1, 2});
    }
}

// O operador constante com qualquer eps e os problemas com fonte continuam na passada rápida (o plano a escolhe), com
// os bits dos núcleos simples: varreduras com a fonte em T, a restrição que a soma primeiro e a norma que a subtrai
// por último, também nas parcelas vetoriais e com threads (os níveis grandes).
TEST(Rapido, AnisotropiaEFonteIgualAReferencia) {
    auto pedido = [](double eps, definicao_problema p) {
        metodo_solver m;
        m.eps = eps;
        m.problema = p;
        return m;
    };
    const definicao_problema senos{tipo_problema::senos, 3, 2, 0.0}, constante{tipo_problema::constante, 1, 1, -2.5};
    for (const metodo_solver& m : {pedido(0.01, {}), pedido(7.0, {}), pedido(1.0, senos), pedido(0.1, constante),
                                   pedido(0.3, senos)}) {
        SCOPED_TRACE("eps " + std::to_string(m.eps) + ", problema " + texto_problema(m.problema));
        estado_execucao x = estado_de(entrada(3, 5, 5, "0.0", 1, 1, 2));
        equipe eq(1);
        plano_solver p;
        criar_campo(x, x.nxyg[3]);
        criar_niveis_grossos(x, static_cast<long>(x.nxyt) - x.nxyg[3]);
        planejar_solver(p, x, efetivo(x, m), {}, eq);
        EXPECT_TRUE(p.rapido) << "a passada rápida serve ao operador constante com qualquer eps e fonte";
        for (int nitm = 1; nitm <= 3; ++nitm) {
            conferir_solucao(1, 23, 17, nitm, 2, 0, 3, {1, 2}, m);
            conferir_solucao(4, 5, 3, nitm, 1, 0, 3, {1, 3}, m);
        }
        conferir_solucao(1, 740, 721, 2, 2, 0, 2, {1, 2}, m);
        conferir_solucao(3, 186, 181, 1, 1, 0, 2, {2}, m);
    }
}

// Meia ponderação e ponderação completa na mesma passada que as varreduras: as linhas de resíduos giram e a linha
// grossa sai com a linha fina 2J, também com zero varreduras (a restrição sozinha), com fonte (os lados direitos dos
// níveis grossos), níveis de largura ou altura par, faixas incompletas, várias fatias e o regime vetorial.
TEST(Rapido, PonderacoesNaPassada) {
    for (restricao_passada r : {restricao_passada::meia, restricao_passada::completa}) {
        for (const forma& f : {forma{3, 2, 3}, forma{3, 3, 3}, forma{3, 4, 3}, forma{2, 3, 6}, forma{4, 3, 4},
                               forma{2, 12, 29}, forma{3, 10, 9}})
            for (int problema : {1, 2}) conferir_passadas(f, problema, {0, 1, 2}, r);
        if (r == restricao_passada::meia) conferir_passadas(forma{2, 1000, 530}, 2, {2}, r);
        else conferir_passadas(forma{2, 1025, 600}, 1, {1}, r);
        conferir_passadas(forma{3, 186, 181}, 2, {2}, r);
    }
}

// O plano escolhe a passada rápida para as três restrições de cinco pontos (não para a transposta) e a solução
// inteira tem os bits da de referência: ciclos V, W e F, FMG, eps e fonte, várias threads.
TEST(Rapido, PonderacoesIguaisAReferencia) {
    auto pedido = [](tipo_restricao r, tipo_ciclo c, bool fmg, double eps, definicao_problema p) {
        metodo_solver m;
        m.restricao = r;
        m.ciclo = c;
        m.fmg = fmg;
        m.eps = eps;
        m.problema = p;
        return m;
    };
    const definicao_problema senos{tipo_problema::senos, 3, 2, 0.0};
    for (tipo_restricao r : {tipo_restricao::injecao, tipo_restricao::meia, tipo_restricao::completa,
                             tipo_restricao::transposta}) {
        estado_execucao x = estado_de(entrada(3, 5, 5, "0.0", 1, 1, 2));
        equipe eq(1);
        plano_solver p;
        criar_campo(x, x.nxyg[3]);
        criar_niveis_grossos(x, static_cast<long>(x.nxyt) - x.nxyg[3]);
        metodo_solver m;
        m.restricao = r;
        planejar_solver(p, x, efetivo(x, m), {}, eq);
        EXPECT_EQ(p.rapido, r != tipo_restricao::transposta) << static_cast<int>(r);
    }
    for (tipo_restricao r : {tipo_restricao::meia, tipo_restricao::completa})
        for (const metodo_solver& m : {pedido(r, tipo_ciclo::V, false, 1.0, {}), pedido(r, tipo_ciclo::W, false, 1.0, {}),
                                       pedido(r, tipo_ciclo::F, true, 0.1, {}), pedido(r, tipo_ciclo::V, true, 1.0, senos)}) {
            SCOPED_TRACE("restrição " + std::to_string(static_cast<int>(r)) + ", ciclo " +
                         std::to_string(static_cast<int>(m.ciclo)) + ", fmg " + std::to_string(m.fmg));
            for (int nitm = 0; nitm <= 2; ++nitm) {
                conferir_solucao(4, 5, 3, nitm, 1, 0, 3, {1, 3}, m);
                conferir_solucao(3, 7, 6, nitm, 2, 0, 2, {1}, m);
            }
            conferir_solucao(4, 94, 91, 2, 2, 0, 2, {1, 2}, m);
            conferir_solucao(3, 186, 181, 1, 1, 1, 2, {2}, m);
        }
}

// gs-sym com omega 1: a ida na passada rápida e a volta com linhas em voo têm os bits das duas varreduras simples,
// com e sem lado direito, qualquer eps, níveis de menos linhas que uma faixa, colunas mais curtas que o atraso,
// faixas incompletas, e a ida com threads e com cada conjunto de instruções.
TEST(Rapido, GaussSeidelSimetricoNosNucleosRapidos) {
    struct caso {
        int nx, ny;
        double ae, an;
    };
    std::mt19937_64 g(11);
    uniforme d(-1.0, 1.0);
    for (const caso& c : {caso{3, 3, 1, 1}, caso{2, 9, 1, 1}, caso{9, 2, 1, 1}, caso{4, 5, 1, 1}, caso{7, 30, 0.01, 1},
                          caso{40, 12, 1, 1}, caso{33, 17, 7, 1}, caso{1000, 530, 1, 1}, caso{1025, 600, 0.3, 1}}) {
        const std::size_t n = static_cast<std::size_t>(c.nx) * c.ny + 1;
        std::vector<double> u0(n), f(n);
        for (std::size_t q = 0; q < n; ++q) {
            u0[q] = d(g);
            f[q] = 1e3 * d(g);
        }
        for (bool direito : {false, true})
            for (int varreduras = 1; varreduras <= 3; ++varreduras) {
                const double ap = 2.0 * c.ae + 2.0 * c.an;
                std::vector<double> ref = u0;
                const vista_nivel vr{.u = ref.data(), .f = direito ? f.data() : nullptr, .nx = c.nx, .ny = c.ny,
                                     .ae = c.ae, .an = c.an, .ap = ap};
                suavizar_gs_sym(vr, {.omega = 1.0}, varreduras);
                for (conjunto_instrucoes ci : conjuntos())
                    for (int threads = 1; threads <= 3; ++threads) {
                        SCOPED_TRACE(std::to_string(c.nx) + "x" + std::to_string(c.ny) + ", lado direito " +
                                     std::to_string(direito) + ", varreduras " + std::to_string(varreduras) + ", " +
                                     nome(ci) + ", threads " + std::to_string(threads));
                        std::vector<double> u = u0;
                        vista_nivel v = vr;
                        v.u = u.data();
                        equipe eq(threads, ci);
                        suavizar_gs_sym(v, {.omega = 1.0, .eq = &eq, .rapidos = true}, varreduras);
                        EXPECT_TRUE(std::memcmp(u.data(), ref.data(), n * sizeof(double)) == 0)
                            << "primeira diferença em " << [&] {
                                   for (std::size_t q = 0; q < n; ++q)
                                       if (!mesmos_bits(u[q], ref[q])) return static_cast<long>(q);
                                   return -1L;
                               }();
                    }
            }
    }
}

// A solução inteira com gs-sym nos núcleos rápidos tem os bits da de referência: malha única, ciclos V e W, FMG,
// eps e fonte, e o gs-sym relaxado (omega != 1), que fica nos laços simples.
TEST(Rapido, GaussSeidelSimetricoIgualAReferencia) {
    auto pedido = [](tipo_ciclo c, bool fmg, double eps, definicao_problema p, double omega) {
        metodo_solver m;
        m.suavizador = tipo_suavizador::gs_sym;
        m.ciclo = c;
        m.fmg = fmg;
        m.eps = eps;
        m.problema = p;
        m.omega = omega;
        return m;
    };
    const definicao_problema senos{tipo_problema::senos, 3, 2, 0.0};
    for (const metodo_solver& m : {pedido(tipo_ciclo::V, false, 1.0, {}, 1.0), pedido(tipo_ciclo::W, true, 0.1, {}, 1.0),
                                   pedido(tipo_ciclo::V, false, 1.0, senos, 1.0),
                                   pedido(tipo_ciclo::V, false, 1.0, {}, 1.2)}) {
        SCOPED_TRACE("ciclo " + std::to_string(static_cast<int>(m.ciclo)) + ", fmg " + std::to_string(m.fmg) +
                     ", omega " + std::to_string(m.omega));
        for (int nitm = 0; nitm <= 2; ++nitm) {
            conferir_solucao(1, 23, 17, nitm, 2, 0, 3, {1, 2}, m);
            conferir_solucao(4, 5, 3, nitm, 1, 0, 3, {1, 3}, m);
        }
        conferir_solucao(3, 186, 181, 1, 1, 1, 2, {2}, m);
    }
}

// A coluna instrucoes diz o que a solução usa: a passada inteira com as ponderações, só as varreduras de ida no
// gs-sym com omega 1, nada no gs-sym relaxado nem com os núcleos rápidos desligados.
TEST(Rapido, InstrucoesDizemOQueASolucaoUsa) {
    auto instrucoes = [](tipo_suavizador s, tipo_restricao r, double omega, bool rapidos) {
        estado_execucao x = estado_de(entrada(3, 5, 5, "0.0", 1, 1, 2));
        equipe eq(1, conjunto_instrucoes::escalar);
        plano_solver p;
        criar_campo(x, x.nxyg[3]);
        criar_niveis_grossos(x, static_cast<long>(x.nxyt) - x.nxyg[3]);
        metodo_solver m;
        m.suavizador = s;
        m.restricao = r;
        m.omega = omega;
        ajustes_solver a;
        a.rapidos = rapidos;
        planejar_solver(p, x, efetivo(x, m), a, eq);
        return instrucoes_da_solucao(p, eq);
    };
    EXPECT_EQ(instrucoes(tipo_suavizador::gs_lex, tipo_restricao::completa, 1.0, true), "scalar/scalar");
    EXPECT_EQ(instrucoes(tipo_suavizador::gs_sym, tipo_restricao::injecao, 1.0, true), "scalar/off");
    EXPECT_EQ(instrucoes(tipo_suavizador::gs_sym, tipo_restricao::injecao, 1.2, true), "off");
    EXPECT_EQ(instrucoes(tipo_suavizador::gs_sym, tipo_restricao::injecao, 1.0, false), "off");
    // fora da passada rápida inteira (a restrição transposta), só as varreduras: as de gs-lex, ou os núcleos pontuais
    EXPECT_EQ(instrucoes(tipo_suavizador::gs_lex, tipo_restricao::transposta, 1.0, true), "scalar/off");
    EXPECT_EQ(instrucoes(tipo_suavizador::gs_rb, tipo_restricao::transposta, 0.9, true), "off/scalar");
    EXPECT_EQ(instrucoes(tipo_suavizador::gs_lex, tipo_restricao::transposta, 1.2, true), "off");
    EXPECT_EQ(instrucoes(tipo_suavizador::jacobi, tipo_restricao::transposta, 1.0, false), "off");
}
