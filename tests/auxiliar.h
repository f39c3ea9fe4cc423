// Peças comuns dos testes: estado lido de um texto de entrada, entradas prontas, leitura de arquivos, comparação
// bit a bit, vistas de nível e um diretório temporário por teste.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "run/execucao.h"
#include "solver/solver.h"
#include "state/componentes.h"

// O método efetivo de um pedido na entrada de e (o clássico sem pedido).
inline metodo_efetivo efetivo(const estado_execucao& e, const metodo_solver& m = {}) {
    return metodo_efetivo(m, e.nitm, e.nm, e.problema);
}

// O método clássico com o problema da entrada `problema` (1 = linear, outro = senoidal).
inline metodo_efetivo do_problema(int problema) { return metodo_efetivo({}, 1, 2, problema); }

// Threads conferidas numa passada num nível de nx x ny pontos: 1, 2 e 3. Sob ASan (dez vezes mais lento), um nível
// que a passada divide entre threads só com 3: o que ele acrescenta aos pequenos é a divisão, e os pequenos conferem
// 1, 2 e 3.
inline std::vector<int> threads_conferidas(long nx, long ny) {
#if defined(__SANITIZE_ADDRESS__)
    if ((nx - 2) * (ny - 2) >= (1L << 19)) return {3};
#endif
    (void)nx;
    (void)ny;
    return {1, 2, 3};
}

// Se a combinação de passada (bits: prolongar, restringir, norma, zerar) é conferida num nível de nx x ny pontos:
// todas; sob ASan, num nível que a passada divide entre threads, só a sem nada e `todas` (cada uma das que o nível
// tem): o que ele acrescenta aos pequenos, que conferem cada combinação, é a divisão.
inline bool combinacao_conferida(long nx, long ny, int combinacao, int todas) {
#if defined(__SANITIZE_ADDRESS__)
    if ((nx - 2) * (ny - 2) >= (1L << 19)) return combinacao == 0 || combinacao == todas;
#endif
    (void)nx;
    (void)ny;
    (void)combinacao;
    (void)todas;
    return true;
}

// Os conjuntos de instruções que o processador tem, o escalar primeiro.
inline std::vector<conjunto_instrucoes> conjuntos_do_processador() {
    std::vector<conjunto_instrucoes> r;
    for (conjunto_instrucoes c : {conjunto_instrucoes::escalar, conjunto_instrucoes::avx2, conjunto_instrucoes::avx512})
        if (conjunto_disponivel(c)) r.push_back(c);
    return r;
}

// Os mesmos bits (NaN e -0 incluídos), não só o mesmo valor.
// Uniforme em [a, b) com os 53 bits altos de um mt19937_64: o generate_canonical da biblioteca chama um log em
// long double a cada número, que o clang em -O1 não dobra (um terço do tempo dos testes das passadas sob ASan).
struct uniforme {
    double a, b;
    uniforme(double de, double ate) : a(de), b(ate) {}
    double operator()(std::mt19937_64& g) const {
        return a + (b - a) * (static_cast<double>(g() >> 11) * 0x1.0p-53);
    }
};

inline bool bits_iguais(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
inline bool mesmos_bits(const double* a, std::size_t na, const double* b, std::size_t nb) {
    return na == nb && (na == 0 || std::memcmp(a, b, na * sizeof(double)) == 0);
}
inline bool mesmos_bits(const std::vector<double>& a, const std::vector<double>& b) {
    return mesmos_bits(a.data(), a.size(), b.data(), b.size());
}
inline bool mesmos_bits(const vetor_grande& a, const vetor_grande& b) {
    return mesmos_bits(a.data(), a.size(), b.data(), b.size());
}
inline bool mesmos_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Vista de nível nx x ny sobre u (e o lado direito f, se houver), com os coeficientes do seu espaçamento.
inline vista_nivel vista_de(std::vector<double>& u, std::vector<double>* f, int nx, int ny) {
    const double dx = 1.0 / (nx - 1), dy = 1.0 / (ny - 1);
    vista_nivel v;
    v.u = u.data();
    v.f = f ? f->data() : nullptr;
    v.nx = nx;
    v.ny = ny;
    v.ae = 1.0 / (dx * dx);
    v.an = 1.0 / (dy * dy);
    v.ap = (v.an + v.ae) * 2.0;
    return v;
}

// O nível de baixo nxc x nyc com o lado direito r (e, se dada, a correção cor), interpolação bilinear.
inline nivel_abaixo abaixo(double* r, int nxc, int nyc, const double* cor = nullptr) {
    nivel_abaixo g;
    g.r = r;
    g.nxc = nxc;
    g.nyc = nyc;
    g.cor = cor;
    return g;
}

// Cada teste num diretório temporário próprio, que passa a ser o corrente.
class diretorio_temporario : public ::testing::Test {
protected:
    void SetUp() override {
        antigo_ = std::filesystem::current_path();
        std::string modelo = (std::filesystem::temp_directory_path() / "placa-teste-XXXXXX").string();
        ASSERT_NE(mkdtemp(modelo.data()), nullptr);
        dir_ = modelo;
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(antigo_);
        std::filesystem::remove_all(dir_);
    }
    static void escrever(const std::string& nome, const std::string& conteudo) {
        std::ofstream(nome, std::ios::binary) << conteudo;
    }
    std::filesystem::path antigo_, dir_;
};

// Cópia de uma grade (T, cor, res) num vetor comum, para guardar e comparar.
inline std::vector<double> copia_de(const vetor_grande& v) { return {v.begin(), v.end()}; }

// Estado lido de um texto de entrada, como ler_dados faria com o arquivo.
inline estado_execucao estado_de(const std::string& entrada, const std::string& nome = "tervano3.ent") {
    estado_execucao e;
    std::string copia = entrada;
    std::FILE* f = fmemopen(copia.data(), copia.size(), "r");
    try {
        ler_valores(e, f, nome);
    } catch (...) {
        std::fclose(f);
        throw;
    }
    std::fclose(f);
    derivar_niveis(e);
    criar_hist(e);
    return e;
}

// Entrada com os doze valores, um por linha.
inline std::string entrada(int nm, int nx, int ny, const std::string& tolt, int itmax, int nitm, int problema,
                           int tipo_ci = 0, int escreve = 0) {
    std::ostringstream s;
    s << "saida.lst\n" << nm << "\n" << nx << "\n" << ny << "\n" << tolt << "\n" << itmax << "\n" << nitm << "\n"
      << problema << "\n" << tipo_ci << "\n" << escreve << "\n1\n'Teste'\n";
    return s.str();
}

inline std::string ler_arquivo(const std::string& nome) {
    std::ifstream f(nome, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// As opções de uma linha de comando, sem o nome do programa.
inline leitura_opcoes opcoes_de(std::vector<std::string> a) {
    a.insert(a.begin(), "placa");
    std::vector<char*> v;
    for (std::string& s : a) v.push_back(s.data());
    v.push_back(nullptr);
    return interpretar_opcoes(static_cast<int>(a.size()), v.data());
}
