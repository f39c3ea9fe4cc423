// Peças comuns dos testes: estado lido de um texto de entrada, entradas prontas e leitura de arquivos.
#pragma once

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "run/execucao.h"

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
