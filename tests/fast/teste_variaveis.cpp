// Os suavizadores com o operador variável e com os de nove pontos nos núcleos rápidos (vermelho-preto e Jacobi em
// vetores, lexicográfico e simétrico com linhas em voo, linhas em x com varreduras juntas, linhas em y por blocos de
// colunas) contra os laços de referência: os mesmos bits, com e sem lado direito, omega 1 e relaxado, 1 a 3 threads
// e cada conjunto de instruções que o processador tem; e a solução inteira com um coeficiente que salta.
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "solver/solver.h"

namespace {

// Um nível nx x ny com u, f e as três grades ao acaso (as arestas e a diagonal com valores de ordens diferentes,
// para que uma conta fora da ordem escrita mude os bits).
struct nivel_variavel_ao_acaso {
    std::vector<double> u, f, pesos;
    vista_nivel v;
    nivel_variavel_ao_acaso(int nx, int ny, unsigned semente) {
        std::mt19937_64 g(semente);
        uniforme d(-1.0, 1.0), k(0.1, 10.0);
        const std::size_t n = static_cast<std::size_t>(nx) * ny + 1;
        u.resize(n);
        f.resize(n);
        pesos.resize(3 * n);
        for (std::size_t p = 0; p < n; ++p) u[p] = d(g), f[p] = 100.0 * d(g);
        for (std::size_t p = 0; p < 2 * n; ++p) pesos[p] = 1e4 * k(g);
        for (std::size_t p = 2 * n; p < 3 * n; ++p) pesos[p] = 4e4 * k(g);
        v = vista_de(u, &f, nx, ny);
        v.forma = forma_operador::cinco_variavel;
        v.pesos = pesos.data(); // bloco[P] = ax(P), P de 1 a nx*ny: as três grades cabem nos 3n doubles
    }
};

using suavizar = void (*)(const vista_nivel&, const meios_suavizacao&, int);

struct suavizador_conferido {
    const char* nome;
    suavizar s;
    bool usa_a_equipe; // threads e instruções; os lexicográficos andam numa thread, escalares
};

// Duas, três e cinco varreduras (as linhas em x juntam até quatro) de cada suavizador, com os laços de referência e
// com os núcleos rápidos de cada conjunto e número de threads, a partir do mesmo nível.
void conferir_nivel(int nx, int ny, const std::vector<int>& threads) {
    nivel_variavel_ao_acaso ref(nx, ny, 7), x(nx, ny, 7); // só u muda; cada rodada parte de `inicial`
    const std::vector<double> inicial = ref.u;
    std::vector<double> copia(ref.u.size() + 4 * static_cast<std::size_t>(nx + ny)); // jacobi; Thomas das linhas
    for (const auto& [nome, s, usa_a_equipe] :
         {suavizador_conferido{"gs-rb", suavizar_gs_rb_variavel, true},
          suavizador_conferido{"jacobi", suavizar_jacobi_variavel, true},
          suavizador_conferido{"gs-lex", suavizar_gs_lex_variavel, false},
          suavizador_conferido{"gs-lex adjunto", suavizar_gs_lex_adjunto_variavel, false},
          suavizador_conferido{"gs-sym", suavizar_gs_sym_variavel, false},
          suavizador_conferido{"line-x", suavizar_linha_x_variavel, false},
          suavizador_conferido{"line-y", suavizar_linha_y_variavel, false},
          suavizador_conferido{"line-alt", suavizar_linha_alt_variavel, false}})
        for (const bool direito : {false, true})
            for (const auto& [omega, varreduras] : {std::pair{1.0, 2}, std::pair{0.8, 3}, std::pair{1.0, 5}}) {
                ref.u = inicial;
                ref.v.f = direito ? ref.f.data() : nullptr;
                x.v.f = direito ? x.f.data() : nullptr;
                s(ref.v, {.omega = omega, .rascunho = copia.data()}, varreduras);
                const std::vector<conjunto_instrucoes> conjuntos =
                    usa_a_equipe ? conjuntos_do_processador() : std::vector{conjunto_instrucoes::escalar};
                for (conjunto_instrucoes c : conjuntos)
                    for (int t : usa_a_equipe ? threads : std::vector{1}) {
                        SCOPED_TRACE(std::string(nome) + " " + std::to_string(nx) + "x" + std::to_string(ny) +
                                     (direito ? " com f" : " sem f") + ", omega " + std::to_string(omega) + ", " +
                                     std::to_string(varreduras) + " varreduras, " +
                                     nome_do_conjunto(c) + ", threads " + std::to_string(t));
                        x.u = inicial;
                        equipe eq(t, c);
                        s(x.v, {.omega = omega, .eq = &eq, .rascunho = copia.data(), .rapidos = true}, varreduras);
                        EXPECT_TRUE(mesmos_bits(x.u, ref.u));
                    }
            }
}

// Um nível de nove pontos com u e f ao acaso e o estêncil ao acaso, os nove números (constante) ou nove grades.
struct nivel_nove_ao_acaso {
    std::vector<double> u, f, pesos, nove;
    vista_nivel v;
    nivel_nove_ao_acaso(int nx, int ny, forma_operador forma, unsigned semente) {
        std::mt19937_64 g(semente);
        uniforme d(-1.0, 1.0), k(0.1, 10.0);
        const std::size_t n = static_cast<std::size_t>(nx) * ny + 1;
        u.resize(n);
        f.resize(n);
        pesos.resize(9 * n);
        nove.resize(9);
        for (std::size_t p = 0; p < n; ++p) u[p] = d(g), f[p] = 100.0 * d(g);
        for (double& c : pesos) c = 1e3 * k(g);
        for (double& c : nove) c = 1e3 * k(g);
        for (std::size_t p = 4 * n; p < 5 * n; ++p) pesos[p] = 1e4 * k(g); // o centro, maior
        nove[4] = 1e4 * k(g);
        v = vista_de(u, &f, nx, ny);
        v.forma = forma;
        v.pesos = pesos.data();
        v.nove = nove.data();
    }
};

// Os pontos do contorno de a e b (índices 1..nx*ny) iguais bit a bit.
bool mesmo_contorno(const std::vector<double>& a, const std::vector<double>& b, int nx, int ny) {
    for (int j = 1; j <= ny; ++j)
        for (int i = 1; i <= nx; ++i) {
            const std::size_t P = static_cast<std::size_t>(i) + static_cast<std::size_t>(j - 1) * nx;
            if ((i == 1 || i == nx || j == 1 || j == ny) && !mesmos_bits(&a[P], 1, &b[P], 1))
                return false;
        }
    return true;
}

// Os suavizadores de nove pontos, constante e por ponto, com núcleos rápidos (os lexicográficos com linhas em voo,
// o vermelho-preto e o Jacobi em vetores, linhas em x com varreduras juntas, em y por blocos de colunas): uma, três
// e cinco varreduras com os laços de referência e com eles, cada conjunto de instruções e, no Jacobi, cada número
// de threads.
void conferir_nove(int nx, int ny, const std::vector<int>& threads) {
    // o Jacobi copia o nível; as linhas guardam as recorrências de Thomas
    std::vector<double> copia(static_cast<std::size_t>(nx) * ny + 1 + 4 * static_cast<std::size_t>(nx + ny));
    for (forma_operador forma : {forma_operador::nove_constante, forma_operador::nove_variavel})
        for (const auto& [nome, s, usa_a_equipe] :
             {suavizador_conferido{"gs-lex", suavizar_gs_lex_nove, false},
              suavizador_conferido{"gs-lex adjunto", suavizar_gs_lex_adjunto_nove, false},
              suavizador_conferido{"gs-sym", suavizar_gs_sym_nove, false},
              suavizador_conferido{"gs-rb", suavizar_gs_rb_nove, false},
              suavizador_conferido{"gs-rb adjunto", suavizar_gs_rb_adjunto_nove, false},
              suavizador_conferido{"jacobi", suavizar_jacobi_nove, true},
              suavizador_conferido{"line-x", suavizar_linha_x_nove, false},
              suavizador_conferido{"line-y", suavizar_linha_y_nove, false},
              suavizador_conferido{"line-alt", suavizar_linha_alt_nove, false}})
            for (const bool direito : {false, true})
                for (const auto& [omega, varreduras] : {std::pair{1.0, 1}, std::pair{1.2, 3}, std::pair{1.0, 5}}) {
                    nivel_nove_ao_acaso ref(nx, ny, forma, 3), x(nx, ny, forma, 3);
                    const std::vector<double> inicial = x.u;
                    if (!direito) ref.v.f = x.v.f = nullptr;
                    s(ref.v, {.omega = omega, .rascunho = copia.data()}, varreduras);
                    // nenhum suavizador escreve no contorno (o adjunto do vermelho-preto escrevia a leste com nx = 3)
                    EXPECT_TRUE(mesmo_contorno(ref.u, inicial, nx, ny)) << nome;
                    for (conjunto_instrucoes c : conjuntos_do_processador())
                        for (int t : usa_a_equipe ? threads : std::vector{1}) {
                            SCOPED_TRACE(std::string(nome) + " nove pontos " +
                                         (forma == forma_operador::nove_variavel ? "por ponto " : "constante ") +
                                         std::to_string(nx) + "x" + std::to_string(ny) +
                                         (direito ? " com f" : " sem f") + ", omega " + std::to_string(omega) + ", " +
                                         nome_do_conjunto(c) + ", threads " + std::to_string(t));
                            x.u = inicial;
                            equipe eq(t, c);
                            s(x.v, {.omega = omega, .eq = &eq, .rascunho = copia.data(), .rapidos = true}, varreduras);
                            EXPECT_TRUE(mesmos_bits(x.u, ref.u));
                        }
                }
}

metodo_solver com_salto(tipo_suavizador s, tipo_ciclo c, double omega) {
    metodo_solver m;
    m.suavizador = s;
    m.ciclo = c;
    m.omega = omega;
    m.restricao = tipo_restricao::completa;
    m.coeficiente.tipo = tipo_coeficiente::salto;
    m.coeficiente.c = 1000.0;
    return m;
}

} // namespace

// Larguras que deixam cada resto de raias (AVX2: 4, AVX-512: 8), níveis sem interior, de uma linha e de uma coluna,
// linhas a 4 KiB umas das outras (513: as linhas em voo do lexicográfico com mais de uma coluna de atraso) e faixas
// incompletas; e níveis que as threads dividem (2^16 pontos internos ou mais), com faixas de poucas linhas.
TEST(Variaveis, VarredurasIguaisAReferencia) {
    for (const auto& [nx, ny] : {std::pair{2, 5}, std::pair{3, 3}, std::pair{4, 7}, std::pair{5, 4}, std::pair{9, 9},
                                 std::pair{12, 5}, std::pair{18, 6}, std::pair{19, 11}, std::pair{20, 3},
                                 std::pair{37, 8}, std::pair{3, 40}, std::pair{513, 21}})
        conferir_nivel(nx, ny, {1, 2, 3});
    conferir_nivel(300, 260, threads_conferidas(300, 260));
    conferir_nivel(70000, 4, threads_conferidas(70000, 4));
}

// Nove pontos: faixas de 8 linhas cheias e incompletas, níveis estreitos (mais colunas de atraso que colunas), linhas
// a 4 KiB umas das outras e larguras que deixam cada resto de raias.
TEST(Variaveis, NovePontosIguaisAReferencia) {
    for (const auto& [nx, ny] : {std::pair{3, 3}, std::pair{4, 12}, std::pair{9, 9}, std::pair{21, 14},
                                 std::pair{5, 30}, std::pair{19, 6}, std::pair{36, 7}, std::pair{513, 13}})
        conferir_nove(nx, ny, {1, 2});
    conferir_nove(300, 260, threads_conferidas(300, 260)); // o Jacobi divide as linhas entre as threads
}

// A solução inteira com o coeficiente que salta (e com Galerkin: nove pontos nos níveis de baixo, constantes com
// C = 1): os núcleos rápidos têm os bits dos laços de referência.
TEST(Variaveis, SolucaoComSaltoIgualAReferencia) {
    std::vector<metodo_solver> metodos;
    for (tipo_suavizador s : {tipo_suavizador::gs_rb, tipo_suavizador::jacobi, tipo_suavizador::gs_lex,
                              tipo_suavizador::gs_sym, tipo_suavizador::linha_x, tipo_suavizador::linha_alt}) {
        metodos.push_back(com_salto(s, tipo_ciclo::V, 1.0));
        metodos.push_back(com_salto(s, tipo_ciclo::W, 0.8));
    }
    metodos.push_back(com_salto(tipo_suavizador::gs_lex, tipo_ciclo::V, 1.0));
    metodos.back().ordem = ordem_pos::adjunta;
    for (tipo_suavizador s : {tipo_suavizador::gs_lex, tipo_suavizador::gs_sym, tipo_suavizador::gs_rb,
                              tipo_suavizador::jacobi, tipo_suavizador::linha_x, tipo_suavizador::linha_y,
                              tipo_suavizador::linha_alt}) // nove pontos
        for (double c : {1.0, 1000.0}) {
            metodos.push_back(com_salto(s, tipo_ciclo::V, 1.0));
            metodos.back().operador_grosso = tipo_operador_grosso::galerkin;
            metodos.back().coeficiente.c = c;
        }
    for (const metodo_solver& m : metodos) {
        const std::string texto = entrada(4, 9, 9, "0.0", 4, 2, 2);
        estado_execucao ref = estado_de(texto);
        ajustes_solver referencia;
        referencia.rapidos = false;
        resolver_multigrid(ref, efetivo(ref, m), referencia);
        for (conjunto_instrucoes c : conjuntos_do_processador())
            for (int threads : {1, 2}) {
                SCOPED_TRACE(std::string(nome_do_conjunto(c)) + ", threads " + std::to_string(threads));
                estado_execucao e = estado_de(texto);
                ajustes_solver a;
                a.threads = threads;
                a.instrucoes = c;
                resolver_multigrid(e, efetivo(e, m), a);
                ASSERT_EQ(e.niter, ref.niter);
                for (long long it = 0; it <= ref.niter; ++it)
                    EXPECT_TRUE(mesmos_bits(e.hist[it], ref.hist[it])) << "hist(" << it << ")";
                EXPECT_TRUE(mesmos_bits(e.T, ref.T));
            }
    }
}
