// A listagem linha a linha: cabeçalho, data, parâmetros (escrever_dados), método, histórico, campo, veredito (fora
// do método clássico) e CPU.
#include <cmath>

#include "report/listagem.h"
#include "versao.h"

namespace {

void linha(saida_texto& saida, const std::string& s) { saida.linha(s); }

} // namespace

void escrever_dados(const estado_execucao& e, saida_texto& saida) {
    const int nxf = e.nxg[e.nm], nyf = e.nyg[e.nm];
    const int nx = nxf - 2, ny = nyf - 2;
    auto valor = [&](long v, const char* rotulo) { linha(saida, inteiro(v, 11) + "    " + latin1(rotulo)); };
    linha(saida, "");
    linha(saida, latin1("título = ") + texto_simples(e.titulo));
    linha(saida, "");
    linha(saida, "     DADOS");
    linha(saida, texto_simples(e.caso) + latin1("   = caso: nome do experimento numérico"));
    valor(e.nm, "   = nm: número de malhas");
    valor(nxf, "   = nxg(nm): número de pontos na direção X (malha mais fina) com contornos");
    valor(nyf, "   = nyg(nm): número de pontos na direção Y (malha mais fina) com contornos");
    valor(e.nxyg[e.nm], "   = nxyg(nm): número total de pontos (malha mais fina) com contornos");
    valor(nx, "   = nx: número de incógnitas na direção X");
    valor(ny, "   = ny: número de incógnitas na direção Y");
    // produto em 32 bits, como os demais inteiros da listagem
    valor(static_cast<int>(static_cast<unsigned>(nx) * static_cast<unsigned>(ny)),
          "   = nx*ny: número total de incógnitas");
    linha(saida, cientifico(e.tolt, 17, 1) + latin1(" = tolt: tolerância do problema"));
    valor(e.itmax, "   = itmax: número máximo de iterações externas (ciclos V)");
    valor(e.nitm, "   = nitm: número máximo de iterações internas (Gauss-Seidel) lexicográfico");
    valor(e.problema, "   = problema: 1=c.c.linear; 2=c.c.senoidal");
    valor(e.tipo_ci, "   = tipo_ci: tipo da condição inicial: 0=nula; 1=solução analítica; 2=reinício");
    valor(e.escreve, "   = escreve: 1=escreve campo T; 0=não");
    valor(e.freq, "   = freq: freqüência de escrita dos resíduos e variáveis nas iterações");
}

std::string montar_listagem(const estado_execucao& e, const metodo_efetivo& metodo) {
    saida_texto s;
    escrever_listagem(e, s, metodo);
    return s.texto;
}

void escrever_listagem(const estado_execucao& e, saida_texto& s, const metodo_efetivo& metodo) {
    linha(s, "");
    linha(s, latin1("     placa " PLACA_VERSAO " (" PLACA_DATA_VERSAO
                    ") - condução de calor 2D, Gauss-Seidel e multigrid"));
    linha(s, "");
    linha(s, "     Dia = " + e.texto_dia + "     Hora = " + e.texto_hora);
    escrever_dados(e, s);
    escrever_metodo(e, metodo, s);
    linha(s, "");
    linha(s, cientifico(e.hist[0], 15, 6)
                 + latin1(" = norma L1 dos resíduos (R) com base na estimativa inicial [L1(R)o]"));
    linha(s, "");
    linha(s, latin1("  Iteração   L1(R)i/L1(R)o  q              qmed"));
    linha(s, "  " + inteiro(0, 8) + cientifico(1.0, 15, 6));
    for (long long it = 1; it <= e.niter; ++it) {
        const double r = e.hist[it] / e.hist[0];
        const double q = e.hist[it] / e.hist[it - 1];
        const double qmed = std::pow(r, 1.0 / static_cast<double>(it));
        linha(s, "  " + inteiro(it, 8) + cientifico(r, 15, 6) + cientifico(q, 15, 6) + cientifico(qmed, 15, 6));
    }
    if (e.escreve == 1) {
        linha(s, "");
        linha(s, "");
        linha(s, std::string(30, ' ') + "TEMPERATURAS");
        escrever_campo_T(e.T.data(), e.nyk, e.nxk, e.nxyk, s);
    }
    escrever_veredito(e, metodo, s);
    linha(s, "");
    linha(s, fixo(e.tcpu, 14, 3) + " = tempo de CPU (segundos)");
}
