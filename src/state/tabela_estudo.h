// Tabela de um estudo paramétrico: registros só de dados, montados das linhas do resumo e impressos pelo relatório.
#pragma once

#include <string>
#include <vector>

#include "state/cifras.h"

// Uma rodada do estudo como o resumo a registrou.
struct linha_estudo {
    std::string caso;                    // nome da listagem
    std::vector<std::string> parametros; // um valor por coluna de tabela_estudo::parametros
    long long niter = 0;
    std::string veredito;                // convergiu, parou, estagnou ou divergiu (state/veredito.h)
    double q_assintotico = sem_cifra, rho_lfa = sem_cifra, mu_lfa = sem_cifra;
    double rho_lfa_k[3] = {sem_cifra, sem_cifra, sem_cifra}; // rho_lfa_k2..k4 (sem_cifra: resumo sem as colunas)
    double trabalho_ciclo = sem_cifra, q_por_trabalho = sem_cifra, cpu_s = sem_cifra;
    double erro_algebrico_max = sem_cifra, erro_discretizacao_max = sem_cifra;
    double h = sem_cifra;                // espaçamento do nível mais fino, na direção que a série de grades refina
    double ordem = sem_cifra;            // log(e_h'/e_h)/log(h'/h) contra a grade anterior da série (h' > h)
    double incognitas = sem_cifra;       // N = nx * ny, os pontos interiores do nível mais fino
    // --repeat: a mediana, o menor e o maior tempo de CPU das soluções repetidas (sem_cifra: resumo sem as colunas)
    double cpu_mediana = sem_cifra, cpu_min = sem_cifra, cpu_max = sem_cifra;
};

// Um parâmetro e o seu valor (o nome da coluna do resumo).
struct valor_parametro {
    std::string nome, valor;
};

// Linhas que só diferem no parâmetro do eixo (fator e tempo) ou na grade (erro contra h).
struct serie_estudo {
    std::string rotulo;               // "nitm=2 suavizador=gs-rb" (vazio: a tabela toda é uma série)
    std::vector<std::size_t> linhas;  // índices em tabela_estudo::linhas, na ordem da tabela
    double inclinacao = sem_cifra;    // erro contra h: inclinação da reta de mínimos quadrados de ln e contra ln h
    std::vector<valor_parametro> valores; // os parâmetros do rótulo, na mesma ordem
};

struct tabela_estudo {
    std::string resumo;                    // o arquivo de onde as linhas vieram
    std::vector<std::string> parametros;   // colunas do resumo que variam entre as linhas
    std::string eixo;                      // parâmetro do eixo x dos gráficos (vazio: o número da rodada)
    bool eixo_numerico = false;            // os valores do eixo são números (senão, rótulos)
    bool eixo_de_grade = false;            // o eixo é a grade (nm, nx, ny): os gráficos usam N, as incógnitas
    std::vector<valor_parametro> fixos;    // as colunas que um estudo pode variar e que não variam, com o valor
    std::vector<linha_estudo> linhas;
    std::vector<double> x;                 // x de cada linha: o valor, ou a posição do rótulo
    std::vector<std::string> rotulos_x;    // eixo de rótulos: o texto de cada posição 1, 2, ...
    std::vector<serie_estudo> series_eixo; // fator e tempo contra o eixo
    std::vector<serie_estudo> series_grade; // erro contra h, uma por problema (vazia quando a grade não varia)
};
